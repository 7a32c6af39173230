// SPDX-License-Identifier: MIT
// The two widgets the design needs beyond Qt's own: the octet box and the design's label.
#pragma once

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
// window's text colour whatever the caption's colour is, and clicks reported (the home-page
// link).
class DesignLabel : public QLabel {
  public:
    DesignLabel(bool framed, QWidget* parent);
    bool framed() const { return framed_; }
    std::function<void()> clicked;
    // A value field shows a result; a screen reader hears its meaning (the accessible name)
    // together with what it shows. A caption is heard by its text alone.
    void setHoldsValue(bool holds) { holdsValue_ = holds; }
    bool holdsValue() const { return holdsValue_; }
    // Shows a new caption and tells a screen reader about it.
    void setCaption(const QString& caption);
    // Whether a caption change is told as a change of the text as well as of the name.
    void setSendsTextChanges(bool sends) { sendsText_ = sends; }
    bool sendsTextChanges() const { return sendsText_; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool framed_;
    bool holdsValue_ = false;
    bool sendsText_ = true;
};

// A command button that Enter and Return press as well as Space, as on the desktop the
// window's design comes from, without becoming a default button.
class DesignButton : public QPushButton {
  public:
    explicit DesignButton(QWidget* parent) : QPushButton(parent) {}

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// How many items the drop-down list shows at once; the rest are a scroll away.
inline constexpr int kDropDownItems = 10;

// Makes the combo box open its items as a list below the box, kDropDownItems high with a scroll
// bar and the current item in view, rather than as a menu laid over the box.
void dropDownBelow(QComboBox& box);

}  // namespace sabrota::qt
