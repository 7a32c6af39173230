// SPDX-License-Identifier: MIT
// The design's faces and colours as GDI has them: fonts made for the monitor's DPI and brushes
// made once per colour.
#pragma once

#include "platform/windows/windows_api.h"

#include <map>

#include "window/design.h"

namespace sabrota::win32 {

// A design colour as GDI paints it; a system colour is the desktop's current one.
COLORREF colorRef(Color c);

// Twips to pixels at the DPI: 15 twips a pixel at 96 DPI.
inline int toPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

class Look {
  public:
    Look() = default;
    ~Look();
    Look(const Look&) = delete;
    Look& operator=(const Look&) = delete;

    // The font of a design row at the DPI, made the first time it is asked for.
    HFONT font(const ControlDesign& d, UINT dpi);
    // The same face and weight, height pixels high (a design font is its points at the DPI).
    HFONT font(const ControlDesign& d, LONG height);
    static LONG heightOf(const ControlDesign& d, UINT dpi);
    HBRUSH brush(Color c);
    // Drops the fonts, after a move to a monitor of another DPI.
    void forgetFonts();

  private:
    struct FontKey {
        Face face;
        LONG height;
        Weight weight;
        auto operator<=>(const FontKey&) const = default;
    };
    std::map<FontKey, HFONT> fonts_;
    std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace sabrota::win32
