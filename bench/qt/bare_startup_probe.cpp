// SPDX-License-Identifier: MIT
// The baseline for the program's start-up: a bare Qt program with the window's widgets (its
// labels, 4 line edits, the combo box, a list view and 5 buttons, at their places and with
// their design texts), each in the design's face, size, weight and colours, as plain Qt code
// would set them: one font and one palette per widget, the faces asked for by their installed
// names. It leaves right after its first paint, as the program's start-up probe does.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>

#include "window/design.h"

namespace {

using namespace sabrota;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class Window : public QWidget {
  protected:
    void paintEvent(QPaintEvent* e) override {
        QWidget::paintEvent(e);
        if (!painted_)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        painted_ = true;
    }

  private:
    bool painted_ = false;
};

QColor rgb(Color c) {
    if (isSystemColor(c)) {
        switch (c & 0xFFu) {
            case 0x05:
                return Qt::white;
            case 0x08:
            case 0x12:
                return Qt::black;
            default:
                return QColor(0xF0F0F0);
        }
    }
    return QColor(int(c & 0xFFu), int((c >> 8) & 0xFFu), int((c >> 16) & 0xFFu));
}

QFont font(const ControlDesign& d) {
    const bool fixed = d.face == Face::HgSoeiKakuPop;
    QFont f(QString::fromLatin1(fixed ? "IPAGothic" : "IPAPGothic"));
    f.setPointSizeF(d.points > 0 ? d.points : kWindowFontPoints);
    f.setBold(d.face == Face::HgpSoeiKakuPop || fixed || d.weight != Weight::Regular);
    f.setItalic(d.weight == Weight::BoldItalic);
    return f;
}

QWidget* make(const ControlDesign& d, QWidget* parent) {
    QPalette p = parent->palette();
    const QColor back = rgb(designBack(d)), fore = rgb(designFore(d));
    QWidget* w = nullptr;
    switch (d.kind) {
        case Kind::Caption:
        case Kind::Value: {
            auto* l = new QLabel(qs(d.text), parent);
            l->setAutoFillBackground(true);
            if (isFramed(d.look))
                l->setFrameShape(QFrame::Box);
            p.setColor(QPalette::Window, back);
            p.setColor(QPalette::WindowText, fore);
            w = l;
            break;
        }
        case Kind::TextBox:
        case Kind::ComboBox:
        case Kind::ListBox:
            if (d.kind == Kind::TextBox) {
                w = new QLineEdit(parent);
            } else if (d.kind == Kind::ComboBox) {
                auto* c = new QComboBox(parent);
                c->setEditable(true);
                for (auto item : maskItems())
                    c->addItem(qs(item));
                w = c;
            } else {
                auto* l = new QListView(parent);
                l->setModel(new QStringListModel(l));
                w = l;
            }
            p.setColor(QPalette::Base, back);
            p.setColor(QPalette::Text, fore);
            break;
        case Kind::Button:
            w = new QPushButton(qs(d.text), parent);
            p.setColor(QPalette::Button, back);
            p.setColor(QPalette::ButtonText, fore);
            break;
    }
    w->setPalette(p);
    w->setFont(font(d));
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPointSizeF(kWindowFontPoints);
    window.setFont(f);
    QPalette p = window.palette();
    p.setColor(QPalette::Window, rgb(colors::kPeach));
    window.setPalette(p);
    window.setAutoFillBackground(true);
    for (const auto& d : designTable()) {
        const Rect& r = d.rect;
        make(d, &window)
            ->setGeometry(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
                          r.height / kTwipsPerPixel);
    }
    window.show();
    return QApplication::exec();
}
