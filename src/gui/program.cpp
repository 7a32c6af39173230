#include <QApplication>
#include <QIcon>

#include "gui/main_window.h"
#include "gui/qtext.h"

namespace sabrota::qt {

int run(platform::FileStore& files, platform::ProgramFolder& folder,
        const std::function<void(MainWindow&)>& prepare) {
    QApplication::setApplicationName(qs(kWindowTitle));
    QApplication::setApplicationVersion(QString::fromStdString(productVersion()));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/sabrota/sabrota.png")));
    MainWindow window(WindowOptions{files, folder});
    if (prepare)
        prepare(window);
    window.show();
    return QApplication::exec();
}

}  // namespace sabrota::qt
