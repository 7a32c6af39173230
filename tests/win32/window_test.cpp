// SPDX-License-Identifier: MIT
// The Win32 window in this process, on the display of the GUI run under Wine: the page 印刷
// sends, drawn into a bitmap because Wine has no printer; the mask box's line; what a screen
// reader hears when a command ends; and the time the network list takes to show 65,536
// entries, printed, not judged.
#include <gtest/gtest.h>

#include "win32/window.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "msaa_name.h"
#include "platform/windows/services/windows_services.h"
#include "platform/windows/wide.h"

namespace sabrota::win32 {
namespace {

using Clock = std::chrono::steady_clock;

// A landscape A4 page at 150 dpi, the printable area of a common printer.
constexpr SIZE kPage{1754, 1240};
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr std::array kButtons{ControlId::CMD1, ControlId::Command1, ControlId::Command2,
                              ControlId::Command3, ControlId::cmdPrint};

// 32-bit pixels of a picture, top row first, as 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> bits;
    COLORREF at(int x, int y) const {
        const std::uint32_t p = bits[static_cast<std::size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

Pixels pixelsOf(HBITMAP picture) {
    BITMAP bm{};
    GetObjectW(picture, sizeof bm, &bm);
    Pixels px{bm.bmWidth, bm.bmHeight, {}};
    px.bits.resize(static_cast<std::size_t>(px.width) * px.height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, px.width, -px.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, picture, 0, static_cast<UINT>(px.height), px.bits.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return px;
}

// What printPage draws on a white page of kPage pixels.
Pixels pageOf(HBITMAP picture) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP page = CreateCompatibleBitmap(screen, kPage.cx, kPage.cy);
    HGDIOBJ old = SelectObject(dc, page);
    RECT all{0, 0, kPage.cx, kPage.cy};
    HBRUSH paper = CreateSolidBrush(kPaper);
    FillRect(dc, &all, paper);
    DeleteObject(paper);
    const bool drawn = printPage(dc, kPage, picture);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    Pixels px = drawn ? pixelsOf(page) : Pixels{};
    DeleteObject(page);
    return px;
}

RECT clientRectOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Share of the rectangle's pixels that have the colour.
double shareOf(const Pixels& px, RECT r, COLORREF c) {
    int same = 0;
    int all = 0;
    for (int y = std::max(0L, r.top); y < std::min<long>(px.height, r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(px.width, r.right); ++x, ++all)
            same += px.at(x, y) == c;
    return all ? static_cast<double>(same) / all : 0.0;
}

class Win32Window : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override {
        window = std::make_unique<Window>(GetModuleHandleW(nullptr),
                                          WindowOptions{files, folder, shell});
        ShowWindow(window->hwnd(), SW_SHOWNOACTIVATE);
        UpdateWindow(window->hwnd());
    }

    // Runs the message loop, which carries the calculation's timers, until pred holds.
    template <typename Pred>
    bool pump(Pred pred, int ms = 120000) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (!pred() && Clock::now() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return pred();
    }

    void command(HWND from, int code) {
        SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(from), code),
                     reinterpret_cast<LPARAM>(from));
    }

    // Types the address, picks the mask, presses 計算 and waits for the list.
    bool calculate(std::array<const wchar_t*, 4> octets, int prefix, int entries) {
        const std::array boxes{ControlId::Text1, ControlId::Text2, ControlId::Text3,
                               ControlId::Text4};
        for (std::size_t i = 0; i < boxes.size(); ++i)
            SetWindowTextW(window->control(boxes[i]), octets[i]);
        HWND combo = window->control(ControlId::Combo1);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(prefix - 8), 0);
        command(combo, CBN_SELCHANGE);
        command(window->control(ControlId::CMD1), BN_CLICKED);
        return pump([&] { return window->form().List1.ListCount() == entries; });
    }

    sabrota::platform::WindowsFileStore files;
    sabrota::platform::WindowsProgramFolder folder;
    sabrota::platform::WindowsShellOpen shell;
    std::unique_ptr<Window> window;
};

TEST_F(Win32Window, PrintedPageIsTheClientAreaWithoutButtonsOnOneLandscapePage) {
    ASSERT_TRUE(calculate({L"192", L"168", L"1", L"130"}, 26, 4));
    RECT client;
    GetClientRect(window->hwnd(), &client);
    const UINT dpi = GetDpiForWindow(window->hwnd());

    Pixels picture;
    Pixels page;
    int buttonsShown = -1;
    window->printer().send = [&](HBITMAP p) {
        buttonsShown =
            static_cast<int>(std::count_if(kButtons.begin(), kButtons.end(), [&](auto id) {
                return IsWindowVisible(window->control(id)) != FALSE;
            }));
        picture = pixelsOf(p);
        page = pageOf(p);
        return true;
    };
    // 印刷 pressed from the keyboard keeps the focus, though its button is hidden for a moment.
    HWND print = window->control(ControlId::cmdPrint);
    SetFocus(print);
    command(print, BN_CLICKED);
    EXPECT_EQ(GetFocus(), print) << "the focus left 印刷";

    EXPECT_EQ(buttonsShown, 0) << "buttons shown while the page was drawn";
    for (ControlId id : kButtons)
        EXPECT_TRUE(IsWindowVisible(window->control(id))) << "a button stays hidden after 印刷";
    // The client area at the window's DPI: 15 twips a pixel at 96 DPI.
    EXPECT_EQ(picture.width, toPixels(kClientWidthTwips, dpi));
    EXPECT_EQ(picture.height, toPixels(kClientHeightTwips, dpi));
    EXPECT_EQ(picture.width, client.right);
    EXPECT_EQ(picture.height, client.bottom);

    // Where each button sits, the page shows the window's own background; the same place of
    // the window as it stands shows the button.
    Pixels shown;
    HBITMAP now = window->capture();
    shown = pixelsOf(now);
    DeleteObject(now);
    const COLORREF background = colorRef(colors::kPeach);
    for (ControlId id : kButtons) {
        RECT r = clientRectOf(window->control(id));
        EXPECT_EQ(shareOf(picture, r, background), 1.0) << "a button on the printed picture";
        EXPECT_LT(shareOf(shown, r, background), 0.5) << "the window's picture misses a button";
    }

    // The window is wider than high, as the page is: it fills the page's height, keeps its
    // proportions and sits in the middle, and only the two side margins stay white.
    ASSERT_EQ(page.width, kPage.cx);
    const int w = MulDiv(picture.width, kPage.cy, picture.height);
    const int left = (kPage.cx - w) / 2;
    EXPECT_GT(w, kPage.cx * 9 / 10);
    EXPECT_EQ(shareOf(page, {0, 0, left, kPage.cy}, kPaper), 1.0);
    EXPECT_EQ(shareOf(page, {left + w, 0, kPage.cx, kPage.cy}, kPaper), 1.0);
    for (int y : {0, static_cast<int>(kPage.cy) - 1})
        for (int x : {left + 2, left + w / 2, left + w - 3})
            EXPECT_NE(page.at(x, y), kPaper) << "page pixel " << x << "," << y;
}

TEST_F(Win32Window, MaskLineShowsTheWholeItem) {
    ASSERT_TRUE(calculate({L"192", L"168", L"1", L"130"}, 26, 4));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(window->control(ControlId::Combo1), &info));
    wchar_t text[64] = {};
    GetWindowTextW(info.hwndItem, text, 64);
    EXPECT_STREQ(text, L"255.255.255.192    /26");
    RECT line;
    SendMessageW(info.hwndItem, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&line));
    HDC dc = GetDC(info.hwndItem);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(info.hwndItem, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, old);
    ReleaseDC(info.hwndItem, dc);
    EXPECT_LE(extent.cx, line.right - line.left) << "the line cuts the item's end";
}

TEST_F(Win32Window, EveryControlIsNamedByItsMeaningThroughMsaa) {
    int named = 0;
    for (const ControlDesign& d : designTable()) {
        const std::string meaning = accessibleName(d);
        if (meaning.empty() || d.kind == Kind::Button)
            continue;
        ++named;
        EXPECT_EQ(msaaName(window->control(d.id, d.index)), platform::widen(meaning))
            << "control " << static_cast<int>(d.id) << " index " << d.index;
    }
    EXPECT_GT(named, 40);
}

// What a screen reader hears through the hook it sets: each alert the window raises, with the
// name and role it reads back from the object the event names.
struct Heard {
    long role = 0;
    std::wstring name;
};
std::vector<Heard>* heardAlerts = nullptr;

void CALLBACK onAlert(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* source = nullptr;
    VARIANT which{};
    if (!heardAlerts ||
        FAILED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object),
                                         static_cast<DWORD>(child), &source, &which)) ||
        !source)
        return;
    Heard heard;
    BSTR name = nullptr;
    if (SUCCEEDED(source->get_accName(which, &name)) && name)
        heard.name = name;
    SysFreeString(name);
    VARIANT role{};
    if (SUCCEEDED(source->get_accRole(which, &role)) && role.vt == VT_I4)
        heard.role = role.lVal;
    VariantClear(&which);
    source->Release();
    heardAlerts->push_back(heard);
}

// Closes the box the export shows, from inside its modal loop, as the user's Enter would.
void CALLBACK closeTheBox(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) -> BOOL {
            wchar_t cls[16] = {};
            if (IsWindowVisible(h) && GetClassNameW(h, cls, 16) && lstrcmpW(cls, L"#32770") == 0)
                PostMessageW(h, WM_COMMAND, IDOK, 0);
            return TRUE;
        },
        0);
}

struct SpokenRow {
    const char* name;
    ControlId button;                      // pressed from the keyboard: it has the focus
    std::array<const wchar_t*, 4> octets;  // for 計算
    int prefix;
    int entries;
    std::vector<const wchar_t*> heard;  // the parts of the sentence, in this order
};

// One alert for each command, once it has ended (the export's once its box has closed), never
// one for each stage. The focus stays on the button, or where the export turns its button off,
// goes on to the next control.
TEST_F(Win32Window, AReaderHearsHowEachCommandEnded) {
    using enum ControlId;
    // clang-format off
    const SpokenRow rows[] = {
        {"計算 192.168.1.130 /26", CMD1,     {L"192", L"168", L"1", L"130"}, 26, 4, {L"アドレスクラス C、", L"アドレスの種類 プライベート、", L"使用可能なホスト数 62 台、", L"192.168.1.128 ～ ", L"192.168.1.191、", L"4 本"}},
        {"CSV出力",                Command3, {},                              0,  0, {L"CSV出力、", L"ip-file.csv"}},
        {"クリア",                 Command2, {},                              0,  0, {L"クリア、", L"255.255.255.000 /24"}},
        {"計算 10.1.2.3 /25",      CMD1,     {L"10", L"1", L"2", L"3"},      25, 1, {L"アドレスクラス A、", L"126 台、", L"10.1.2.0 ～ ", L"10.1.2.127、", L"131072 本、", L"CPU(T_T)"}},
    };
    // clang-format on
    std::vector<Heard> heard;
    heardAlerts = &heard;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, &onAlert,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const UINT_PTR closer = SetTimer(nullptr, 0, 200, &closeTheBox);

    for (const SpokenRow& row : rows) {
        heard.clear();
        HWND button = window->control(row.button);
        SetFocus(button);
        ASSERT_EQ(GetFocus(), button) << row.name;
        if (row.button == CMD1)
            ASSERT_TRUE(calculate(row.octets, row.prefix, row.entries)) << row.name;
        else
            command(button, BN_CLICKED);
        // The list is full when the last stage ends; the sentence follows in a posted message.
        // Another half second shows that nothing more is said.
        pump([&] { return !heard.empty(); }, 10000);
        pump([] { return false; }, 500);
        ASSERT_EQ(heard.size(), 1u) << row.name << ": alerts heard";
        std::printf("%s: the reader hears \"%s\"\n", row.name,
                    platform::narrow(heard[0].name).c_str());
        EXPECT_EQ(heard[0].role, static_cast<long>(ROLE_SYSTEM_ALERT)) << row.name;
        std::size_t at = 0;
        for (const wchar_t* part : row.heard) {
            const std::size_t found = heard[0].name.find(part, at);
            EXPECT_NE(found, std::wstring::npos)
                << row.name << ": " << platform::narrow(part) << " missing or out of order";
            if (found != std::wstring::npos)
                at = found + std::wstring_view(part).size();
        }
        HWND focus = GetFocus();
        if (IsWindowEnabled(button))
            EXPECT_EQ(focus, button) << row.name << ": the focus moved";
        else
            EXPECT_TRUE(focus && GetParent(focus) == window->hwnd() && IsWindowEnabled(focus))
                << row.name << ": the focus went nowhere";
    }
    KillTimer(nullptr, closer);
    UnhookWinEvent(hook);
    heardAlerts = nullptr;
}

// The view's own part of showing the longest list: the new count and the first paint of the
// rows in view. The entries stay in the model; the view asks only for those it draws.
TEST_F(Win32Window, LongestListFillTime) {
    ASSERT_TRUE(calculate({L"10", L"1", L"2", L"3"}, 24, 65536));
    HWND view = window->networkList().view();
    EXPECT_EQ(ListView_GetItemCount(view), 65536);
    // The own network 10.1.2.0 is highlighted and in view.
    const int own = ListView_GetNextItem(view, -1, LVNI_SELECTED);
    EXPECT_EQ(window->form().List1.List(own), "10.1.2.0");
    RECT item;
    RECT inside;
    GetClientRect(view, &inside);
    ASSERT_TRUE(ListView_GetItemRect(view, own, &item, LVIR_BOUNDS));
    EXPECT_TRUE(item.left >= inside.left && item.right <= inside.right && item.top >= 0 &&
                item.bottom <= inside.bottom);

    std::vector<double> times;
    for (int run = 0; run < 9; ++run) {
        ListView_SetItemCountEx(view, 0, 0);
        UpdateWindow(view);
        const auto start = Clock::now();
        window->networkList().reset();
        UpdateWindow(view);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    EXPECT_EQ(ListView_GetItemCount(view), 65536);
    std::sort(times.begin(), times.end());
    std::printf(
        "65,536 entries into the list view, count and first paint: median %.2f ms "
        "(%.2f to %.2f ms, 9 runs)\n",
        times[times.size() / 2], times.front(), times.back());
}

}  // namespace
}  // namespace sabrota::win32
