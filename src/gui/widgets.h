// The two widgets the design needs beyond Qt's own: the octet box and the design's label.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace sabrota::qt {

// An address octet: three characters at most, the input method off.
class OctetEdit : public QLineEdit {
  public:
    explicit OctetEdit(QWidget* parent);
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  protected:
    void inputMethodEvent(QInputMethodEvent* e) override;
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
