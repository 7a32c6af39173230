// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "gui/main_window.h"
#include "gui/qtext.h"

namespace sabrota::qt {

int run(platform::FileStore& files, platform::ProgramFolder& folder,
        const std::function<void(MainWindow&)>& prepare) {
    QApplication::setApplicationName(qs(kWindowTitle));
    QApplication::setApplicationVersion(QString::fromStdString(productVersion()));
    // The launcher's id: a Wayland dock ties the window to its launcher by it (the X11 class,
    // "Sabrota" from the application name, matches the launcher's StartupWMClass).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.sabrota"));
    // The icon is a PNG, read by Qt's own reader: left to guess, the reader would load every
    // image format plugin at start-up to ask whether one of them reads PNG better.
    QImageReader icon(QStringLiteral(":/sabrota/sabrota.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
    MainWindow window(WindowOptions{files, folder});
    if (prepare)
        prepare(window);
    window.show();
    return QApplication::exec();
}

}  // namespace sabrota::qt
