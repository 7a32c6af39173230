// SPDX-License-Identifier: MIT
// The Win32 services the window model reaches the desktop through: MessageBoxW, SetTimer and
// the default printer. Each is told of the window it belongs to once that exists.
#pragma once

#include "platform/windows/windows_api.h"

#include <functional>

#include "platform/services.h"

namespace sabrota::win32 {

// MessageBoxW, owned by the window.
class Win32MessageBox : public platform::MessageBox {
  public:
    HWND owner = nullptr;
    void show(std::string_view prompt, platform::BoxStyle style, std::string_view title) override;
};

// One SetTimer timer per model timer, under the timer's number.
class Win32Timers : public platform::TimerDriver {
  public:
    HWND window = nullptr;
    void timerChanged(int number, int interval, bool enabled) override;
};

// The picture on one page of the default printer, turned and placed by the windows' one rule
// (landscape for the window), as one print job; false when there is no printer or the job
// failed.
bool sendToDefaultPrinter(HBITMAP picture);

// The client area as it stands, without what the model has hidden (the buttons), printed on
// one page of the default printer.
class Win32Printer : public platform::WindowPrinter {
  public:
    // Makes the window show the model (the buttons hidden) and returns a picture of its client
    // area, or nullptr.
    std::function<HBITMAP()> capture;
    // Where the picture goes. A machine without a printer (Wine has none) can have the page
    // drawn into a bitmap instead, through the same printPage.
    std::function<bool(HBITMAP)> send = sendToDefaultPrinter;
    bool printWindow() override;
};

// The picture scaled onto a page of the DC whose printable area is page pixels, as large as
// fits with the window's proportions, in the middle (frontend::placeOnPage).
bool printPage(HDC dc, SIZE page, HBITMAP picture);

}  // namespace sabrota::win32
