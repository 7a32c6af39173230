// SPDX-License-Identifier: MIT
#include "gui/widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <algorithm>

#include "frontend/control_rules.h"
#include "gui/accessibility.h"
#include "gui/look.h"

namespace sabrota::qt {

OctetEdit::OctetEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(3);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

QVariant OctetEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The attribute alone does not keep the editor away; saying so here does.
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void OctetEdit::inputMethodEvent(QInputMethodEvent* e) {
    // Text committed by an input method is not held to the maximum length by QLineEdit.
    const QString commit = e->commitString();
    if (!commit.isEmpty()) {
        const qsizetype kept =
            text().size() - selectedText().size() - std::max(0, e->replacementLength());
        const qsizetype room = std::max<qsizetype>(0, maxLength() - kept);
        if (commit.size() > room) {
            QInputMethodEvent cut(e->preeditString(), e->attributes());
            cut.setCommitString(commit.left(room), e->replacementStart(), e->replacementLength());
            QLineEdit::inputMethodEvent(&cut);
            if (text().size() > maxLength())
                setText(text().left(maxLength()));
            return;
        }
    }
    QLineEdit::inputMethodEvent(e);
    if (text().size() > maxLength())
        setText(text().left(maxLength()));
}

bool OctetEdit::offer(QClipboard::Mode mode) {
    return pasted && !isReadOnly() && pasted(QGuiApplication::clipboard()->text(mode));
}

void OctetEdit::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste) && offer(QClipboard::Clipboard)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void OctetEdit::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt names the menu's paste action only by its text ("&Paste", translated, perhaps with
    // its shortcut after a tab).
    for (QAction* action : menu->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr("&Paste"))
            continue;
        action->disconnect(this);
        connect(action, &QAction::triggered, this, [this] {
            if (!offer(QClipboard::Clipboard))
                paste();
        });
    }
    menu->popup(e->globalPos());
}

void OctetEdit::mouseReleaseEvent(QMouseEvent* e) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (e->button() == Qt::MiddleButton && clipboard->supportsSelection() &&
        offer(QClipboard::Selection)) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

DesignLabel::DesignLabel(bool framed, QWidget* parent) : QLabel(parent), framed_(framed) {
    if (framed_)
        setContentsMargins(1, 1, 1, 1);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setIndent(0);
    setMargin(0);
    setForegroundRole(QPalette::Text);
    setAutoFillBackground(true);
}

void DesignLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!framed_)
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DesignLabel::setCaption(const QString& caption) {
    const QString before = text();
    if (caption == before)
        return;
    setText(caption);
    announceCaptionChange(*this, before);
}

// A click is a press and a release on the label, as for a button.
void DesignLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked)
        clicked();
}

namespace {
// The application's style, except that combo boxes drop a list down instead of laying a menu
// over the box (as Fusion does): with the list below, the box and its text stay in sight.
class ListDropDownStyle : public QProxyStyle {
  public:
    explicit ListDropDownStyle(const QString& base) : QProxyStyle(base) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
}  // namespace

void dropDownBelow(QComboBox& box) {
    auto* style = new ListDropDownStyle(QString::fromLatin1(kControlStyle));
    style->setParent(&box);
    box.setStyle(style);
    box.setMaxVisibleItems(kDropDownItems);
}

void DesignButton::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (frontend::enterPressesButton(e->isAutoRepeat()))
            click();
        e->accept();
        return;
    }
    QPushButton::keyPressEvent(e);
}

}  // namespace sabrota::qt
