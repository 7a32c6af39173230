// SPDX-License-Identifier: MIT
#include "win32/announcer.h"

#include <commctrl.h>
#include <oleacc.h>

#include "platform/windows/wide.h"
#include "win32/accessible.h"

namespace sabrota::win32 {

namespace {

// Posted to the notice: the sentence is delivered once the message that decided it has been
// handled, so a reader hears it after the focus has gone back from a closed message box.
constexpr UINT kDeliver = WM_APP + 0x51;
constexpr UINT_PTR kSubclass = 3;

// The values of UI Automation's NotificationKind and NotificationProcessing: a command
// completed, and only the newest of the window's summaries is worth saying.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;
constexpr wchar_t kActivity[] = L"Sabrota.Summary";

template <typename Fn>
Fn procedure(HMODULE dll, const char* name) {
    // Through a pointer to a function without arguments, which GCC lets any function pointer
    // become and come back from.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

}  // namespace

// UI Automation's notification, looked up at run time: the program imports only what every
// Windows it runs on has, and says nothing this way where the function is missing (before
// Windows 10 1709, and under Wine).
class Announcer::Notifications {
  public:
    static Notifications& get() {
        static Notifications n;
        return n;
    }
    // True when a UI Automation client was there to be told.
    bool raise(HWND window, const std::wstring& sentence) const {
        if (!raise_ || !listening_() || sentence.empty())
            return false;
        IUnknown* provider = nullptr;
        if (FAILED(hostProvider_(window, &provider)) || !provider)
            return false;
        BSTR text = SysAllocStringLen(sentence.data(), static_cast<UINT>(sentence.size()));
        BSTR activity = SysAllocString(kActivity);
        const bool raised =
            text && activity &&
            SUCCEEDED(raise_(provider, kActionCompleted, kImportantMostRecent, text, activity));
        SysFreeString(activity);
        SysFreeString(text);
        provider->Release();
        return raised;
    }

  private:
    // The provider parameters are IRawElementProviderSimple, a COM interface passed as a
    // pointer; the program only hands it on.
    using HostProvider = HRESULT(WINAPI*)(HWND, IUnknown**);
    using Raise = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    using Listening = BOOL(WINAPI*)();

    Notifications() {
        HMODULE dll =
            LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!dll)
            return;
        hostProvider_ = procedure<HostProvider>(dll, "UiaHostProviderFromHwnd");
        listening_ = procedure<Listening>(dll, "UiaClientsAreListening");
        raise_ = procedure<Raise>(dll, "UiaRaiseNotificationEvent");
        // The library stays loaded for the program's life where it has all three.
        if (!hostProvider_ || !listening_ || !raise_) {
            raise_ = nullptr;
            FreeLibrary(dll);
        }
    }

    HostProvider hostProvider_ = nullptr;
    Listening listening_ = nullptr;
    Raise raise_ = nullptr;
};

Announcer::Announcer(HWND window, HINSTANCE instance) : window_(window), announcements_(*this) {
    // Made after the window's controls, so it is last among them and in no tab order; of no
    // size, so it draws nothing and no print shows it; visible, since a reader may pass over
    // the events of a hidden window.
    notice_ = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0,
                              window, nullptr, instance, nullptr);
    if (notice_)
        SetWindowSubclass(notice_, &Announcer::noticeProc, kSubclass,
                          reinterpret_cast<DWORD_PTR>(this));
}

Announcer::~Announcer() {
    if (notice_ && IsWindow(notice_)) {
        RemoveWindowSubclass(notice_, &Announcer::noticeProc, kSubclass);
        DestroyWindow(notice_);
    }
}

void Announcer::say(const std::string& sentence) {
    pending_ = platform::widen(sentence);
    if (!posted_ && notice_)
        posted_ = PostMessageW(notice_, kDeliver, 0, 0) != FALSE;
}

// UI Automation's notification where the system has it and a client listens (Narrator, NVDA,
// JAWS), else the MSAA alert: a reader that listens to both, as NVDA does, would otherwise say
// the sentence twice. The notice takes the sentence as its name either way.
void Announcer::deliver() {
    posted_ = false;
    said_ = pending_;
    SetWindowTextW(notice_, said_.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, notice_, OBJID_CLIENT, CHILDID_SELF);
    if (!Notifications::get().raise(window_, said_))
        NotifyWinEvent(EVENT_SYSTEM_ALERT, notice_, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT CALLBACK Announcer::noticeProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR,
                                       DWORD_PTR self) {
    auto* announcer = reinterpret_cast<Announcer*>(self);
    switch (m) {
        case kDeliver:
            announcer->deliver();
            return 0;
        case WM_GETOBJECT:
            // The notice is an alert named by the sentence it says.
            if (const LRESULT answer =
                    namedAccessibleObject(h, w, l, announcer->said_, ROLE_SYSTEM_ALERT))
                return answer;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(h, &Announcer::noticeProc, kSubclass);
            announcer->notice_ = nullptr;
            break;
        default:
            break;
    }
    return DefSubclassProc(h, m, w, l);
}

}  // namespace sabrota::win32
