// SPDX-License-Identifier: MIT
// The Win32 window: every control built from the design table and bound to its control in the
// window model (Form1) through the toolkit-neutral binder. Clicks, ticks and typing go to the
// binder; it tells this view which controls changed, and the view only draws.
#pragma once

#include "platform/windows/windows_api.h"

#include <functional>
#include <memory>
#include <vector>

#include "frontend/binder.h"
#include "frontend/registry.h"
#include "win32/announcer.h"
#include "win32/look.h"
#include "win32/network_list.h"
#include "win32/services.h"
#include "window/form1.h"

namespace sabrota::win32 {

// What the window gets from the program: where files go, which folder is the program's, and
// the shell that opens the memo and the home page.
struct WindowOptions {
    platform::FileStore& files;
    platform::ProgramFolder& folder;
    platform::ShellOpen& shell;
};

class Window : public frontend::View {
  public:
    Window(HINSTANCE instance, WindowOptions options);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    Form1& form() { return binder_->form(); }
    HWND control(ControlId id, int index = 0) const;
    // Brings every control whose model control changed up to date.
    void sync() { binder_->sync(); }
    // Runs one event in the model, then syncs; nothing the model throws leaves the window
    // procedure.
    void dispatch(const std::function<void()>& event) { binder_->dispatch(event); }
    // The client area as the model has it now (buttons hidden while printing), as a bitmap of
    // the client's size.
    HBITMAP capture();
    // Where 印刷 sends its page; a machine without a printer can draw the page elsewhere.
    Win32Printer& printer() { return printer_; }
    NetworkList& networkList() { return *list_; }
    // Keyboard handling of the message loop: Tab between the controls in the design's order,
    // Enter and Space press the focused button. True when the message was used.
    bool preTranslate(MSG& msg);

  private:
    void showControl(const ControlDesign& design, const Control& now, unsigned changes) override;
    void showMaskIndex(int index) override;
    void showListIndex(int index) override;
    void eventDone() override;
    void boxClosed(std::string_view prompt) override;

    using Bound = frontend::Registry<HWND>::Entry;
    struct SetOn;

    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l);
    static LRESULT CALLBACK namedProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id,
                                      DWORD_PTR name);
    static LRESULT CALLBACK editProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT handle(UINT m, WPARAM w, LPARAM l);
    void build();
    HWND make(const ControlDesign& d, int id, bool tabStop);
    void layout();
    void fitMaskLine(HWND combo, const ControlDesign& d);
    void command(int id, int code, HWND from);
    LRESULT colors(HDC dc, HWND from, LRESULT fallback);
    Bound* boundOf(HWND h);
    void nameForScreenReaders();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    Look look_;
    Win32MessageBox box_;
    Win32Timers timers_;
    Win32Printer printer_;
    frontend::Registry<HWND> bound_;
    std::vector<std::wstring> names_;       // what screen readers call each of bound_
    std::unique_ptr<Announcer> announcer_;  // tells screen readers how a command ended
    std::unique_ptr<frontend::Binder> binder_;
    std::unique_ptr<NetworkList> list_;
};

// Starts the program: the window, the message loop.
int run(HINSTANCE instance, int show, WindowOptions options);

}  // namespace sabrota::win32
