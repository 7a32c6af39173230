// SPDX-License-Identifier: MIT
#include "gui/print_image.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace sabrota::qt {

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

}  // namespace sabrota::qt
