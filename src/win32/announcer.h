// SPDX-License-Identifier: MIT
// How the Win32 window tells a screen reader how a run, Clear or the export ended, wherever
// the focus is and without moving it. The sentence becomes the name of a notice, a static
// control of no size that the window owns, which then raises an MSAA alert (NVDA and the
// readers that follow MSAA listen for it); where Windows has UI Automation notifications
// (Windows 10 1709 and later), the window raises one with the same sentence, which Narrator
// says. When and what to say is decided by the announcements every front end shares.
#pragma once

#include "platform/windows/windows_api.h"

#include <string>
#include <string_view>

#include "frontend/announcements.h"

namespace sabrota::win32 {

class Announcer final : private frontend::Speaker {
  public:
    Announcer(HWND window, HINSTANCE instance);
    ~Announcer() override;
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    // View::eventDone and View::boxClosed, and every click once the window has handled it.
    void eventDone(const Form1& form) { announcements_.eventDone(form); }
    void boxClosed(std::string_view prompt) { announcements_.boxClosed(prompt); }
    void clicked(Click handler, const Form1& form) { announcements_.clicked(handler, form); }

  private:
    class Notifications;

    void say(const std::string& sentence) override;
    void deliver();
    static LRESULT CALLBACK noticeProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR self);

    HWND window_;
    HWND notice_ = nullptr;
    std::wstring said_;     // the notice's name: the last sentence delivered
    std::wstring pending_;  // the sentence to deliver once the current message is handled
    bool posted_ = false;
    frontend::Announcements announcements_;
};

}  // namespace sabrota::win32
