// SPDX-License-Identifier: MIT
// The print module: what the window loads when the user prints.
#include <QPrinter>
#include <QPrinterInfo>

#include "gui/print_image.h"

namespace sabrota::qt {

bool sabrota_print_on_default_printer(const QImage& image) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sabrota"));
    return printImage(printer, image);
}

}  // namespace sabrota::qt
