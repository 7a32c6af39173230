// SPDX-License-Identifier: MIT
// Where the window's image goes on the printed page: one rule for every front end. Without
// anything to link, so the print module that is loaded only to print can use it too.
#pragma once

namespace sabrota::frontend {

struct PageSize {
    double width, height;
};

// The page is turned to landscape for an image wider than it is high, as the window is (779 by
// 567 pixels): on every paper that is taller than it is wide (A4, Letter), the landscape page
// holds such an image larger. A front end chooses the orientation before it knows the printer's
// page, from the image alone.
constexpr bool printsLandscape(PageSize image) {
    return image.width > image.height;
}

struct Placement {
    double left, top, width, height;
};

// The image as large as the printable area allows, its proportions kept, in the middle of the
// area; in the area's own units. Nothing (all zero) for an empty image or area.
constexpr Placement placeOnPage(PageSize image, PageSize area) {
    if (image.width <= 0 || image.height <= 0 || area.width <= 0 || area.height <= 0)
        return {0, 0, 0, 0};
    const double across = area.width / image.width, down = area.height / image.height;
    const double scale = across < down ? across : down;
    const double width = image.width * scale, height = image.height * scale;
    return {(area.width - width) / 2, (area.height - height) / 2, width, height};
}

}  // namespace sabrota::frontend
