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

// The client area as it stands, without what the model has hidden (the buttons), printed on
// one landscape page of the default printer.
class Win32Printer : public platform::WindowPrinter {
  public:
    // Makes the window show the model (the buttons hidden) and returns a picture of its client
    // area, or nullptr.
    std::function<HBITMAP()> capture;
    bool printWindow() override;
};

// The picture scaled onto one page of the DC, as large as fits, in the middle.
bool printPage(HDC printer, HBITMAP picture);

}  // namespace sabrota::win32
