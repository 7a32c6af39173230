// SPDX-License-Identifier: MIT
#include "gui/print_image.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include "frontend/page_fit.h"

namespace sabrota::qt {

bool printImage(QPrinter& printer, const QImage& image) {
    if (image.isNull())
        return false;
    const frontend::PageSize picture{static_cast<double>(image.width()),
                                     static_cast<double>(image.height())};
    printer.setPageOrientation(frontend::printsLandscape(picture) ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect area = painter.viewport();
    const frontend::Placement place = frontend::placeOnPage(
        picture, {static_cast<double>(area.width()), static_cast<double>(area.height())});
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(
        QRectF(area.x() + place.left, area.y() + place.top, place.width, place.height), image);
    return painter.end();
}

}  // namespace sabrota::qt
