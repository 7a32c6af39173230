// The two widgets the design needs beyond Qt's own: the octet box and the design's label.
#pragma once

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace sabrota::qt {

// An address octet: three characters at most, the input method off. A paste (the key, the
// context menu, the X11 middle button) is offered to pasted first; what it does not take is
// pasted as typing.
class OctetEdit : public QLineEdit {
  public:
    explicit OctetEdit(QWidget* parent);
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    std::function<bool(const QString& text)> pasted;

  protected:
    void inputMethodEvent(QInputMethodEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool offer(QClipboard::Mode mode);
};

// A label of the design: text from the top, an optional single-line frame drawn in the
// desktop's text colour whatever the caption's colour is, and clicks reported (the home-page
// link).
class DesignLabel : public QLabel {
  public:
    DesignLabel(bool framed, QWidget* parent);
    bool framed() const { return framed_; }
    std::function<void()> clicked;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool framed_;
};

}  // namespace sabrota::qt
