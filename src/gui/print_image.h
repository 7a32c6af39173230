// SPDX-License-Identifier: MIT
// One page of the window's image, for the printer. Kept apart from the window: it needs Qt's
// print support, which the program loads only when the user prints.
#pragma once

class QImage;
class QPrinter;

namespace sabrota::qt {

// Prints one page with the image scaled to fit, aspect kept, turned to landscape when it
// fills the page better that way. False when the painter cannot start on the printer.
bool printImage(QPrinter& printer, const QImage& image);

// The module's entry: prints the image on the default printer, false when there is none or
// the printer refuses. Looked up by this name when the module is loaded.
extern "C" bool sabrota_print_on_default_printer(const QImage& image);

}  // namespace sabrota::qt
