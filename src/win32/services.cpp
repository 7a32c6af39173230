// SPDX-License-Identifier: MIT
#include "win32/services.h"

#include <commdlg.h>

#include <cmath>
#include <vector>

#include "frontend/page_fit.h"
#include "platform/windows/wide.h"

namespace sabrota::win32 {

void Win32MessageBox::show(std::string_view prompt, platform::BoxStyle style,
                           std::string_view title) {
    UINT flags = MB_OK;
    if (style == platform::BoxStyle::Exclamation)
        flags |= MB_ICONEXCLAMATION;
    // The box hands the activation back to the window, which would take the focus itself: the
    // control that had it gets it back, as in a dialog, so the keyboard and a screen reader go
    // on where they were.
    const HWND focused = GetFocus();
    MessageBoxW(owner, platform::widen(prompt).c_str(), platform::widen(title).c_str(), flags);
    if (focused && focused != owner && IsWindow(focused) && IsWindowVisible(focused) &&
        IsWindowEnabled(focused) && GetFocus() != focused)
        SetFocus(focused);
}

void Win32Timers::timerChanged(int number, int interval, bool enabled) {
    if (!window)
        return;
    if (enabled && interval > 0)
        SetTimer(window, static_cast<UINT_PTR>(number), static_cast<UINT>(interval), nullptr);
    else
        KillTimer(window, static_cast<UINT_PTR>(number));
}

bool printPage(HDC dc, SIZE page, HBITMAP picture) {
    BITMAP bm{};
    if (!GetObjectW(picture, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, picture, 0, bm.bmHeight, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight)
        return false;
    const int pageW = static_cast<int>(page.cx);
    const int pageH = static_cast<int>(page.cy);
    if (pageW <= 0 || pageH <= 0)
        return false;
    const frontend::Placement place =
        frontend::placeOnPage({static_cast<double>(bm.bmWidth), static_cast<double>(bm.bmHeight)},
                              {static_cast<double>(pageW), static_cast<double>(pageH)});
    const auto px = [](double v) { return static_cast<int>(std::lround(v)); };
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    return StretchDIBits(dc, px(place.left), px(place.top), px(place.width), px(place.height), 0, 0,
                         bm.bmWidth, bm.bmHeight, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY) > 0;
}

namespace {
// The default printer's DC, its page turned as the picture needs; nullptr when there is no
// printer.
HDC defaultPrinterFor(HBITMAP picture) {
    BITMAP bm{};
    const bool landscape = !GetObjectW(picture, sizeof bm, &bm) ||
                           frontend::printsLandscape(
                               {static_cast<double>(bm.bmWidth), static_cast<double>(bm.bmHeight)});
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&pd))
        return nullptr;
    HDC dc = nullptr;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
    auto* mode = pd.hDevMode ? static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode)) : nullptr;
    if (names) {
        if (mode) {
            mode->dmFields |= DM_ORIENTATION;
            mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        }
        const wchar_t* base = reinterpret_cast<const wchar_t*>(names);
        dc = CreateDCW(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
    }
    if (mode)
        GlobalUnlock(pd.hDevMode);
    if (names)
        GlobalUnlock(pd.hDevNames);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    return dc;
}
}  // namespace

bool sendToDefaultPrinter(HBITMAP picture) {
    HDC dc = defaultPrinterFor(picture);
    if (!dc)
        return false;
    bool printed = false;
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Sabrota";
    if (StartDocW(dc, &doc) > 0) {
        const SIZE page{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
        printed = StartPage(dc) > 0 && printPage(dc, page, picture) && EndPage(dc) > 0;
        if (printed)
            printed = EndDoc(dc) > 0;
        else
            AbortDoc(dc);
    }
    DeleteDC(dc);
    return printed;
}

bool Win32Printer::printWindow() {
    HBITMAP picture = capture ? capture() : nullptr;
    if (!picture)
        return false;
    const bool printed = send && send(picture);
    DeleteObject(picture);
    return printed;
}

}  // namespace sabrota::win32
