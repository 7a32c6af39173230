// The baseline for the program's start-up: a bare Qt program with the window's widgets (its
// 126 labels, 4 line edits, the combo box, a list view and 5 buttons, at their places and with
// their design texts), one IPAPGothic font for all and no colours of its own. It leaves right
// after its first paint, as the program's start-up probe does.
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

QWidget* make(const sabrota::ControlDesign& d, QWidget* parent) {
    using sabrota::Kind;
    switch (d.kind) {
        case Kind::Caption:
        case Kind::Value:
            return new QLabel(qs(d.text), parent);
        case Kind::TextBox:
            return new QLineEdit(parent);
        case Kind::ComboBox: {
            auto* c = new QComboBox(parent);
            c->setEditable(true);
            for (auto item : sabrota::maskItems())
                c->addItem(qs(item));
            return c;
        }
        case Kind::ListBox: {
            auto* l = new QListView(parent);
            l->setModel(new QStringListModel(l));
            return l;
        }
        case Kind::Button:
            return new QPushButton(qs(d.text), parent);
    }
    return new QWidget(parent);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.setFixedSize(sabrota::kClientWidthTwips / sabrota::kTwipsPerPixel,
                        sabrota::kClientHeightTwips / sabrota::kTwipsPerPixel);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSizeF(sabrota::kWindowFontPoints);
    window.setFont(font);
    for (const auto& d : sabrota::designTable()) {
        const sabrota::Rect& r = d.rect;
        make(d, &window)
            ->setGeometry(r.left / sabrota::kTwipsPerPixel, r.top / sabrota::kTwipsPerPixel,
                          r.width / sabrota::kTwipsPerPixel, r.height / sabrota::kTwipsPerPixel);
    }
    window.show();
    return QApplication::exec();
}
