// SPDX-License-Identifier: MIT
#include "gui/qt_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLibrary>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include "gui/qtext.h"

namespace sabrota::qt {

void QtMessageBox::show(std::string_view prompt, platform::BoxStyle style, std::string_view title) {
    const auto icon =
        style == platform::BoxStyle::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, qs(title), qs(prompt), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QtTimerDriver::QtTimerDriver() {
    for (int i = 0; i < kTimerCount; ++i) {
        auto& t = timers_[static_cast<std::size_t>(i)];
        t = std::make_unique<QTimer>();
        // A coarse timer may fire a little early; a stage must wait its full interval.
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t.get(), &QTimer::timeout, [this, number = i + 1] {
            if (fire_)
                fire_(number);
        });
    }
}

QtTimerDriver::~QtTimerDriver() = default;

void QtTimerDriver::timerChanged(int number, int interval, bool enabled) {
    if (number < 1 || number > kTimerCount)
        return;
    QTimer& t = *timers_[static_cast<std::size_t>(number - 1)];
    if (enabled && interval > 0)
        t.start(interval);
    else
        t.stop();
}

void QtShellOpen::open(std::string_view target) {
    const QString t = qs(target);
    QUrl url(t);
    // A document of the current directory goes to the opener as an absolute file address:
    // openers do not understand a relative "file:ip-memo.txt". Whether anything opens (a
    // missing memo, no editor) is the desktop's business; the program says nothing.
    if (url.scheme().isEmpty())
        url = QUrl::fromLocalFile(QDir::current().absoluteFilePath(t));
    QDesktopServices::openUrl(url);
}

QtWindowPrinter::QtWindowPrinter(QWidget& window)
    : window_(window), sink_(&printToDefaultPrinter) {}

bool QtWindowPrinter::printWindow() {
    const QImage image = window_.grab().toImage();
    return sink_ ? sink_(image) : false;
}

namespace {
using PrintEntry = bool (*)(const QImage&);

// The module beside the executable (a build, or a copy kept together), else the installed one
// in the program's library folder.
PrintEntry loadPrintModule() {
    static PrintEntry entry = [] {
        const QString here = QCoreApplication::applicationDirPath();
        const QStringList folders = {here, here + QStringLiteral("/" SABROTA_PRINT_MODULE_DIR)};
        for (const QString& folder : folders) {
            QLibrary module(folder + QStringLiteral("/libsabrota-print"));
            if (auto f = reinterpret_cast<PrintEntry>(
                    module.resolve("sabrota_print_on_default_printer")))
                return f;
        }
        return PrintEntry{nullptr};
    }();
    return entry;
}
}  // namespace

bool QtWindowPrinter::printToDefaultPrinter(const QImage& image) {
    const PrintEntry print = loadPrintModule();
    return print && print(image);
}

}  // namespace sabrota::qt
