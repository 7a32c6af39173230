// SPDX-License-Identifier: MIT
// Drives sabrota.exe from outside, as a user would, through the messages its controls take:
// starts it, types, picks a mask, presses buttons, reads and closes its message boxes and reads
// its list. Each step waits a bounded time. Prints one line per finding; exit status 0 when
// every check held.
//   drive.exe sabrota.exe
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "msaa_name.h"

namespace {

using Clock = std::chrono::steady_clock;
int failures = 0;
HWND window = nullptr;
DWORD processId = 0;

void check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    std::fflush(stdout);
    if (!ok)
        ++failures;
}

// Waits with the messages pumped: the window's events reach the hook below through them.
template <typename Pred>
bool waitFor(Pred pred, int ms = 20000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        if (pred())
            return true;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return pred();
}

std::wstring text(HWND h) {
    wchar_t buf[512] = {};
    SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return buf;
}

std::string utf8(const std::wstring& w) {
    std::string s(w.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(),
                                      static_cast<int>(s.size()), nullptr, nullptr);
    s.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return s;
}

// What a screen reader in this process is told when the window raises an alert: the name of
// the object the event names, read back through MSAA.
std::vector<std::string> alerts;

void CALLBACK onAlert(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* source = nullptr;
    VARIANT which{};
    if (FAILED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object),
                                         static_cast<DWORD>(child), &source, &which)) ||
        !source) {
        alerts.emplace_back("(no object)");
        return;
    }
    BSTR name = nullptr;
    alerts.push_back(SUCCEEDED(source->get_accName(which, &name)) && name ? utf8(name)
                                                                          : "(no name)");
    SysFreeString(name);
    VariantClear(&which);
    source->Release();
}

std::vector<HWND> children(const wchar_t* cls) {
    std::vector<HWND> out;
    for (HWND h = FindWindowExW(window, nullptr, cls, nullptr); h;
         h = FindWindowExW(window, h, cls, nullptr))
        out.push_back(h);
    return out;
}

HWND button(const wchar_t* caption) {
    return FindWindowExW(window, nullptr, L"Button", caption);
}

void press(HWND b) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED),
                 reinterpret_cast<LPARAM>(b));
}

// The message box the window has open, if any.
HWND openBox() {
    struct Find {
        HWND found = nullptr;
    } f;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            wchar_t cls[16];
            if (GetWindow(h, GW_OWNER) == window && GetClassNameW(h, cls, 16) &&
                lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h)) {
                reinterpret_cast<Find*>(p)->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// Waits for a box, reads its title and text ("title|text") and closes it; empty when none came.
std::string answerBox(int ms = 20000) {
    HWND box = nullptr;
    if (!waitFor([&] { return (box = openBox()) != nullptr; }, ms))
        return {};
    const std::string said = utf8(text(box)) + "|" + utf8(text(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return said;
}

void type(const char* a, const char* b, const char* c, const char* d, int prefix) {
    const std::vector<HWND> edits = children(L"Edit");
    const char* octets[] = {a, b, c, d};
    for (int i = 0; i < 4 && i < static_cast<int>(edits.size()); ++i) {
        wchar_t w[8];
        MultiByteToWideChar(CP_UTF8, 0, octets[i], -1, w, 8);
        SendMessageW(edits[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w));
    }
    HWND combo = children(L"ComboBox").at(0);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(prefix - 8), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

HWND list() {
    return children(WC_LISTVIEWW).at(0);
}

int listCount() {
    return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0));
}

// An entry of the list, read through memory of the program's own.
std::string entry(int row) {
    HANDLE p =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!p)
        return {};
    constexpr SIZE_T kChars = 256;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(p, nullptr, sizeof(LVITEMW) + kChars * 2, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    item.cchTextMax = kChars;
    WriteProcessMemory(p, remote, &item, sizeof item, nullptr);
    SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote));
    wchar_t buf[kChars] = {};
    ReadProcessMemory(p, remote + sizeof(LVITEMW), buf, sizeof buf - 2, nullptr);
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
    CloseHandle(p);
    return utf8(buf);
}

// Calculate pressed and the run over: the export is offered, or the list stays as it is.
bool calculate() {
    press(button(L"計算"));
    return waitFor([] { return IsWindowEnabled(button(L"CSV出力")) != FALSE; });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: drive.exe sabrota.exe\n", stderr);
        return 2;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fputs("FAIL sabrota.exe did not start\n", stdout);
        return 1;
    }
    processId = pi.dwProcessId;
    check(waitFor(
              [] {
                  window = FindWindowW(L"SabrotaWindow", L"Sabrota");
                  return window && IsWindowVisible(window);
              },
              60000),
          "the window \"Sabrota\" comes up");
    if (!window)
        return 1;

    // A screen reader in another process hears each control's meaning through WM_GETOBJECT.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    check(utf8(msaaName(children(L"Edit").at(0))) == "アドレス第1オクテット" &&
              utf8(msaaName(children(L"Edit").at(3))) == "アドレス第4オクテット" &&
              utf8(msaaName(children(L"ComboBox").at(0))) == "サブネットマスク" &&
              utf8(msaaName(list())) == "ネットワークアドレスの一覧",
          "a screen reader hears the octet boxes, the mask box and the list by their meaning");

    // It hears how each command ended from the alerts the window raises, as NVDA does.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, &onAlert,
                                         processId, 0, WINEVENT_OUTOFCONTEXT);
    const auto heard = [](const std::string& sentence) {
        return waitFor([] { return !alerts.empty(); }, 5000) && alerts.size() == 1 &&
               alerts[0] == sentence;
    };

    type("192", "168", "1", "130", 26);
    check(calculate(), "192.168.1.130 /26: CSV出力 is offered after 計算");
    check(waitFor([] { return listCount() == 4; }), "192.168.1.130 /26 lists 4 networks");
    check(entry(2) == "192.168.1.128", "its third entry is the own network");
    check(heard("アドレスクラス C、アドレスの種類 プライベート、使用可能なホスト数 62 台、"
                "ネットワークアドレス 192.168.1.128 ～ ブロードキャストアドレス 192.168.1.191、"
                "サブネットの本数 4 本"),
          "a screen reader in another process hears the run's summary");
    alerts.clear();
    press(button(L"CSV出力"));
    check(answerBox() == "Sabrota|新しいファイルを作成しました。ip-file.csv",
          "CSV出力 reports the file");
    check(heard("CSV出力、新しいファイルを作成しました。ip-file.csv"),
          "it hears the export's outcome once the box has closed");
    UnhookWinEvent(hook);
    // The place the box covered is painted again before the screenshot is taken.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    RECT r;
    GetWindowRect(window, &r);
    std::printf("window at %ld %ld %ld %ld\nscreenshot\n", r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    // The script says when it has the screenshot, by a file beside the exe.
    waitFor([] { return GetFileAttributesW(L"shot-done") != INVALID_FILE_ATTRIBUTES; });

    type("300", "1", "2", "3", 24);
    press(button(L"計算"));
    const std::string bad = answerBox();
    check(bad == "第1オクテット：範囲外！！|範囲外です。1～223で指定してください。",
          "a bad first octet shows the box");

    type("10", "1", "2", "3", 25);
    press(button(L"計算"));
    waitFor([] { return listCount() == 1; });
    const std::string refused = entry(0);
    check(refused == "CPU(T_T):計算が大変なので計算いたしません！！",
          "10.1.2.3 /25 lists the refusal");

    type("172", "16", "5", "4", 30);
    const auto start = Clock::now();
    press(button(L"計算"));
    const bool filled = waitFor([] { return listCount() == 16384; });
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    check(filled, "172.16.5.4 /30 lists 16,384 networks");
    check(entry(0) == "172.16.0.0" && entry(16383) == "172.16.255.252",
          "its first and last entries");
    std::printf("time from 計算 to 16,384 entries on the window: %.0f ms\n", ms);

    // The longest list: the view asks only for the entries it draws.
    type("10", "1", "2", "3", 24);
    const auto longStart = Clock::now();
    press(button(L"計算"));
    check(waitFor([] { return listCount() == 65536; }), "10.1.2.3 /24 lists 65,536 networks");
    std::printf("time from 計算 to 65,536 entries on the window: %.0f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - longStart).count());

    // Wine has no printer: the print ends in the failure box, and the buttons it hid are back.
    press(button(L"印刷"));
    check(answerBox() == "Sabrota|印刷できませんでした。プリンターを確認してください。",
          "印刷 without a printer shows the failure box");
    check(waitFor([] { return IsWindowVisible(button(L"計算")) != FALSE; }),
          "the buttons are back after printing");

    PostMessageW(window, WM_CLOSE, 0, 0);
    check(WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0, "the window closes");
    CoUninitialize();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return failures == 0 ? 0 : 1;
}
