// SPDX-License-Identifier: MIT
// Opens the window under whatever style and desktop palette the environment sets, runs one
// calculation through the real widgets, saves the client area as a PNG and checks it:
//   theme_shot OUT.png [--dark] [--same-as REFERENCE.png]
// Every text must show in its control's colour on its control's background; the mask box must
// hold its whole text; with --dark the desktop's palette must really be dark (else the run
// proves nothing); with --same-as the picture must equal the reference pixel for pixel.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "gui/look.h"
#include "gui/main_window.h"
#include "headless/headless.h"

using namespace sabrota;

namespace {

int faults = 0;

void fault(const std::string& what) {
    std::fprintf(stderr, "theme_shot: %s\n", what.c_str());
    ++faults;
}

int distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The background is the commonest colour inside the control; the text is there when some pixel
// away from the edges (where a frame may be drawn) comes near the text colour.
void checkColours(const std::string& name, QWidget& w, const QColor& back, const QColor& fore,
                  int backTolerance) {
    const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    bool textSeen = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y) & 0xFFFFFFu;
            const bool inner = x >= 2 && y >= 2 && x < img.width() - 2 && y < img.height() - 2;
            if (inner)
                ++counts[px];
            textSeen = textSeen || (inner && distance(px, fore.rgb()) <= 48);
        }
    QRgb common = 0;
    int most = 0;
    for (const auto& [rgb, n] : counts)
        if (n > most)
            most = n, common = rgb;
    if (distance(common, back.rgb()) > backTolerance)
        fault(name + ": background " + QColor(common).name().toStdString() + ", designed " +
              back.name().toStdString());
    if (!textSeen)
        fault(name + ": no text in " + fore.name().toStdString());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // A blinking caret would make two pictures of the same window differ.
    QApplication::setCursorFlashTime(0);
    if (argc < 2) {
        std::fputs("usage: theme_shot OUT.png [--dark] [--same-as REFERENCE.png]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QString reference;
    bool dark = false;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dark")
            dark = true;
        else if (a == "--same-as" && i + 1 < argc)
            reference = QString::fromLocal8Bit(argv[++i]);
    }
    if (dark && QApplication::palette().color(QPalette::Window).lightness() > 96)
        fault("the desktop palette is not dark: window colour " +
              QApplication::palette().color(QPalette::Window).name().toStdString());

    headless::ScriptedMessageBox box;
    headless::MemoryFileStore files;
    headless::StayingFolder folder;
    qt::MainWindow window(qt::WindowOptions{files, folder, &box});
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 10000)) {
        fault("the window was not shown");
        return 1;
    }
    // 192.168.1.130 /26: coloured mask cells, the pale yellow of no coincidence, a full list.
    const char* octets[] = {"192", "168", "1", "130"};
    const ControlId ids[] = {ControlId::Text1, ControlId::Text2, ControlId::Text3,
                             ControlId::Text4};
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(window.widgetFor(ids[i]), QString::fromLatin1(octets[i]));
    auto* combo = static_cast<QComboBox*>(window.widgetFor(ControlId::Combo1));
    while (combo->currentIndex() < 26 - 8)
        QTest::keyClick(combo, Qt::Key_Down);
    QTest::mouseClick(window.widgetFor(ControlId::CMD1), Qt::LeftButton);
    const auto idle = [&] {
        for (const Timer& t : window.form().timers)
            if (t.armed())
                return false;
        return true;
    };
    if (!QTest::qWaitFor(idle, 15000))
        fault("the calculation did not end");
    window.widgetFor(ControlId::Text1)->setFocus();
    QTest::qWait(50);

    for (const ControlDesign& d : designTable()) {
        QWidget* w = window.widgetFor(d.id, d.index);
        const Control& c = window.form().control(d.id, d.index);
        const std::string name =
            std::string(d.name) + (d.index ? "(" + std::to_string(d.index) + ")" : "");
        const QColor back = qt::toQColor(c.BackColor), fore = qt::toQColor(c.ForeColor);
        const bool shows = !c.Caption.empty() || !c.Text.empty();
        if (!w->isVisible() || !shows || back == fore)
            continue;
        // A button's face is a gradient around the design's colour.
        checkColours(name, *w, back, fore, d.kind == Kind::Button ? 24 : 0);
    }
    // The mask box's text field must be wide enough for its text in the box's font.
    const QLineEdit* edit = combo->lineEdit();
    const int need = edit->fontMetrics().horizontalAdvance(edit->text());
    const QMargins m = edit->textMargins();
    const int room = edit->contentsRect().width() - m.left() - m.right() - 4;  // Qt's own 2 + 2
    if (need > room)
        fault("the mask box cuts its text: " + std::to_string(need) + " pixels wide, room for " +
              std::to_string(room));

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!shot.save(out))
        fault("cannot write " + out.toStdString());
    if (!reference.isEmpty()) {
        const QImage ref = QImage(reference).convertToFormat(QImage::Format_RGB32);
        if (ref.size() != shot.size()) {
            fault("the picture's size differs from the reference's");
        } else {
            int differ = 0;
            QPoint first;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixel(x, y) != ref.pixel(x, y) && differ++ == 0)
                        first = QPoint(x, y);
            if (differ)
                fault(std::to_string(differ) + " pixels differ from the reference, the first at " +
                      std::to_string(first.x()) + "," + std::to_string(first.y()));
        }
    }
    return faults ? 1 : 0;
}
