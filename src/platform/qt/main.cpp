#include <QApplication>

#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return sabrota::qt::run();
}
