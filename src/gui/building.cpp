// The widgets of the window, one for each row of the design table: kind, place, font, the
// name a screen reader says, and the click handler the row names.
#include <QComboBox>
#include <QPushButton>

#include "gui/look.h"
#include "gui/main_window.h"
#include "gui/qtext.h"
#include "gui/widgets.h"

namespace sabrota::qt {

void MainWindow::build() {
    bound_.reserve(designTable().size());
    for (const auto& d : designTable()) {
        QWidget* w = makeWidget(d);
        w->setObjectName(d.index ? QStringLiteral("%1(%2)").arg(qs(d.name)).arg(d.index)
                                 : qs(d.name));
        const Rect& r = d.rect;
        w->setGeometry(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
                       r.height / kTwipsPerPixel);
        w->setFont(designFont(d));
        w->setAccessibleName(QString::fromStdString(sabrota::accessibleName(d)));
        bound_.push_back(Bound{&d, w});
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
            c->setEditable(true);
            c->setInsertPolicy(QComboBox::NoInsert);
            c->setCompleter(nullptr);
            for (auto item : maskItems())
                c->addItem(qs(item));
            dropDownBelow(*c);
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
