// SPDX-License-Identifier: MIT
#include "win32/look.h"

#include <cmath>

#include "frontend/faces.h"
#include "platform/windows/wide.h"

namespace sabrota::win32 {

COLORREF colorRef(Color c) {
    if (isSystemColor(c))
        return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0x00FFFFFF);
}

Look::~Look() {
    forgetFonts();
    for (auto& [color, b] : brushes_)
        DeleteObject(b);
}

LONG Look::heightOf(const ControlDesign& d, UINT dpi) {
    const double points = d.face == Face::WindowFont ? kWindowFontPoints : d.points;
    return static_cast<LONG>(std::lround(points * dpi / 72.0));
}

HFONT Look::font(const ControlDesign& d, UINT dpi) {
    return font(d, heightOf(d, dpi));
}

HFONT Look::font(const ControlDesign& d, LONG height) {
    const FontKey key{d.face, height, d.weight};
    if (auto it = fonts_.find(key); it != fonts_.end())
        return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = d.weight == Weight::Regular ? FW_NORMAL : FW_BOLD;
    lf.lfItalic = d.weight == Weight::BoldItalic;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    // Windows lists the design's faces under their Japanese names; GDI maps a missing one to
    // the nearest face of the character set.
    lstrcpynW(lf.lfFaceName, platform::widen(frontend::designFace(d.face).japanese).c_str(),
              LF_FACESIZE);
    HFONT f = CreateFontIndirectW(&lf);
    fonts_.emplace(key, f);
    return f;
}

HBRUSH Look::brush(Color c) {
    const COLORREF ref = colorRef(c);
    auto [it, added] = brushes_.try_emplace(ref, nullptr);
    if (added)
        it->second = CreateSolidBrush(ref);
    return it->second;
}

void Look::forgetFonts() {
    for (auto& [key, f] : fonts_)
        DeleteObject(f);
    fonts_.clear();
}

}  // namespace sabrota::win32
