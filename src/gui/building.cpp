// SPDX-License-Identifier: MIT
// The widgets of the window, one for each row of the design table: kind, place, font, the
// name a screen reader says, and the click handler the row names.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include "gui/look.h"
#include "gui/main_window.h"
#include "gui/qtext.h"
#include "gui/widgets.h"

namespace sabrota::qt {

void MainWindow::build() {
    bound_.reserve(designTable().size());
    // The controls are drawn in one style whatever the desktop's is: styles such as Adwaita
    // paint button faces in colours of their own and pad the mask box until its text is cut,
    // while the design fixes every control's colours and width.
    // Where the desktop's style already is that one, every widget has it without being told.
    QStyle* style = nullptr;
    if (QApplication::style()->name().compare(QString::fromLatin1(kControlStyle),
                                              Qt::CaseInsensitive) != 0) {
        style = QStyleFactory::create(QString::fromLatin1(kControlStyle));
        style->setParent(this);
    }
    for (const auto& d : designTable()) {
        QWidget* w = makeWidget(d);
        // The combo box brings a style of its own, built on the same one.
        if (style && !w->testAttribute(Qt::WA_SetStyle))
            w->setStyle(style);
        if (style)
            for (QWidget* part : w->findChildren<QWidget*>())
                part->setStyle(style);
        // The desktop's style may have padded the mask box's text field already.
        if (auto* c = qobject_cast<QComboBox*>(w))
            c->lineEdit()->setTextMargins(0, 0, 0, 0);
        w->setObjectName(d.index ? QStringLiteral("%1(%2)").arg(qs(d.name)).arg(d.index)
                                 : qs(d.name));
        const Rect& r = d.rect;
        w->setGeometry(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
                       r.height / kTwipsPerPixel);
        w->setFont(designFont(d));
        w->setAccessibleName(QString::fromStdString(sabrota::accessibleName(d)));
        bound_.add(d, w);
    }
}

QWidget* MainWindow::makeWidget(const ControlDesign& d) {
    switch (d.kind) {
        case Kind::Caption:
        case Kind::Value: {
            auto* l = new DesignLabel(isFramed(d.look), this);
            l->setHoldsValue(d.kind == Kind::Value);
            // Text from the top, as desktop labels of this kind draw it.
            l->setAlignment(Qt::AlignTop | (isCentred(d.look) ? Qt::AlignHCenter : Qt::AlignLeft));
            if (d.click != Click::None) {
                l->clicked = [this, handler = d.click] { click(handler); };
                l->setCursor(Qt::PointingHandCursor);
            }
            return l;
        }
        case Kind::TextBox: {
            auto* e = new OctetEdit(this);
            e->setAlignment(Qt::AlignCenter);
            return e;
        }
        case Kind::ComboBox: {
            auto* c = new QComboBox(this);
            dropDownBelow(*c);
            c->setEditable(true);
            c->setInsertPolicy(QComboBox::NoInsert);
            c->setCompleter(nullptr);
            for (auto item : maskItems())
                c->addItem(qs(item));
            return c;
        }
        case Kind::ListBox:
            list_ = new NetworkListView(this);
            return list_;
        case Kind::Button: {
            auto* b = new DesignButton(this);
            b->setAutoDefault(false);
            b->setDefault(false);
            if (d.click != Click::None)
                connect(b, &QPushButton::clicked, this,
                        [this, handler = d.click] { click(handler); });
            return b;
        }
    }
    return new QWidget(this);
}

}  // namespace sabrota::qt
