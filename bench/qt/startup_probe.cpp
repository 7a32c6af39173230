// SPDX-License-Identifier: MIT
// The program as main.cpp starts it, leaving right after its first paint: the benchmark times
// this process from start to end.
#include <QApplication>
#include <QTimer>

#include "gui/main_window.h"
#include "platform/posix/posix_services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    sabrota::platform::PosixFileStore files;
    sabrota::platform::ExecutableFolder folder;
    return sabrota::qt::run(files, folder, [](sabrota::qt::MainWindow& w) {
        w.onFirstPaint = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };
    });
}
