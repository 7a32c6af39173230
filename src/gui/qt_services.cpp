#include "gui/qt_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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

bool QtTimerDriver::active(int number) const {
    return timers_[static_cast<std::size_t>(number - 1)]->isActive();
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

bool printImage(QPrinter& printer, const QImage& image) {
    if (image.isNull())
        return false;
    const QSizeF img = image.size();
    auto fit = [&](QPageLayout::Orientation o) {
        QPageLayout layout = printer.pageLayout();
        layout.setOrientation(o);
        const QSizeF page = layout.paintRect(QPageLayout::Point).size();
        return std::min(page.width() / img.width(), page.height() / img.height());
    };
    printer.setPageOrientation(fit(QPageLayout::Landscape) > fit(QPageLayout::Portrait)
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect area = painter.viewport();
    QSize target = image.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect place(area.x() + (area.width() - target.width()) / 2,
                      area.y() + (area.height() - target.height()) / 2, target.width(),
                      target.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, image);
    return painter.end();
}

QtWindowPrinter::QtWindowPrinter(QWidget& window, std::function<void()> beforeGrab)
    : window_(window), beforeGrab_(std::move(beforeGrab)), sink_(&printToDefaultPrinter) {}

bool QtWindowPrinter::printWindow() {
    // The buttons the handler has just hidden must be hidden in the image too.
    if (beforeGrab_)
        beforeGrab_();
    const QImage image = window_.grab().toImage();
    return sink_ ? sink_(image) : false;
}

bool QtWindowPrinter::printToDefaultPrinter(const QImage& image) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sabrota"));
    return printImage(printer, image);
}

}  // namespace sabrota::qt
