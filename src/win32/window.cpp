// SPDX-License-Identifier: MIT
#include "win32/window.h"

#include <commctrl.h>
#include <imm.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <exception>

#include "frontend/control_rules.h"
#include "platform/windows/wide.h"
#include "win32/accessible.h"

namespace sabrota::win32 {

namespace {

constexpr wchar_t kClassName[] = L"SabrotaWindow";
constexpr int kFirstId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::wstring textOf(HWND h) {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(h, s.data(), static_cast<int>(s.size()))));
    return s;
}

void setText(HWND h, std::string_view utf8) {
    const std::wstring w = platform::widen(utf8);
    if (textOf(h) != w)
        SetWindowTextW(h, w.c_str());
}

UINT dpiOf(HWND h) {
    const UINT dpi = h ? GetDpiForWindow(h) : 0;
    return dpi ? dpi : 96;
}

}  // namespace

Window::Window(HINSTANCE instance, WindowOptions options) : instance_(instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Window::proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hbrBackground = look_.brush(colors::kPeach);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, platform::widen(kWindowTitle).c_str(),
                            kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                            instance, this);
    dpi_ = dpiOf(hwnd_);
    box_.owner = hwnd_;
    timers_.window = hwnd_;
    printer_.capture = [this] { return capture(); };

    build();
    announcer_ = std::make_unique<Announcer>(hwnd_, instance);
    binder_ = std::make_unique<frontend::Binder>(
        *this,
        platform::Services{box_, timers_, options.files, options.shell, printer_, options.folder});
    list_ = std::make_unique<NetworkList>(control(ControlId::List1), binder_->form().List1);
    layout();
    nameForScreenReaders();
    binder_->start();
}

Window::~Window() {
    // No tick or notification may reach a model that is going away.
    for (int n = 1; n <= kTimerCount; ++n)
        KillTimer(hwnd_, static_cast<UINT_PTR>(n));
    list_.reset();
    if (IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

// The controls that take the focus come first, in the keyboard order, since the dialog
// manager tabs through the controls in the order they were made.
void Window::build() {
    const auto& table = designTable();
    const auto& order = tabOrder();
    bound_.reserve(table.size());
    for (ControlId id : order)
        for (const ControlDesign& d : table)
            if (d.id == id && d.index == 0)
                bound_.add(d, nullptr);
    for (const ControlDesign& d : table)
        if (std::find(order.begin(), order.end(), d.id) == order.end())
            bound_.add(d, nullptr);
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        const bool tabStop = i < order.size();
        bound_[i].widget = make(*bound_[i].design, kFirstId + static_cast<int>(i), tabStop);
    }
}

HWND Window::make(const ControlDesign& d, int id, bool tabStop) {
    DWORD style = WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0);
    DWORD ex = 0;
    const wchar_t* cls = WC_STATICW;
    switch (d.kind) {
        case Kind::Caption:
        case Kind::Value:
            style |= SS_NOPREFIX | (isCentred(d.look) ? SS_CENTER : SS_LEFT);
            if (d.kind == Kind::Value && d.rect.height <= 375)
                style |= SS_CENTERIMAGE;
            if (isFramed(d.look))
                style |= WS_BORDER;
            if (d.click != Click::None)
                style |= SS_NOTIFY;
            break;
        case Kind::TextBox:
            cls = WC_EDITW;
            style |= ES_CENTER | ES_AUTOHSCROLL;
            ex = WS_EX_CLIENTEDGE;
            break;
        case Kind::ComboBox:
            cls = WC_COMBOBOXW;
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
            break;
        case Kind::ListBox:
            cls = WC_LISTVIEWW;
            style |= LVS_LIST | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER;
            break;
        case Kind::Button:
            cls = WC_BUTTONW;
            style |= BS_PUSHBUTTON | BS_MULTILINE;
            break;
    }
    HWND h = CreateWindowExW(ex, cls, platform::widen(d.text).c_str(), style, 0, 0, 1, 1, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (d.kind == Kind::TextBox) {
        SendMessageW(h, EM_LIMITTEXT, 3, 0);
        // Octets are digits: no input method.
        ImmAssociateContextEx(h, nullptr, 0);
        SetWindowSubclass(h, &Window::editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    } else if (d.kind == Kind::ComboBox) {
        for (std::string_view item : maskItems())
            SendMessageW(h, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(platform::widen(item).c_str()));
        SendMessageW(h, CB_SETMINVISIBLE, kMaskItemCount, 0);
    } else if (d.kind == Kind::ListBox) {
        ListView_SetExtendedListViewStyle(h, LVS_EX_DOUBLEBUFFER);
    }
    return h;
}

// Every rectangle and font at the window's DPI.
void Window::layout() {
    RECT r{0, 0, toPixels(kClientWidthTwips, dpi_), toPixels(kClientHeightTwips, dpi_)};
    AdjustWindowRectExForDpi(&r, kStyle, FALSE, WS_EX_CONTROLPARENT, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (Bound& b : bound_) {
        const ControlDesign& d = *b.design;
        const int x = toPixels(d.rect.left, dpi_);
        const int y = toPixels(d.rect.top, dpi_);
        const int w = toPixels(d.rect.width, dpi_);
        int h = toPixels(d.rect.height, dpi_);
        SendMessageW(b.widget, WM_SETFONT, reinterpret_cast<WPARAM>(look_.font(d, dpi_)), FALSE);
        if (d.kind == Kind::ComboBox) {
            // The box itself as high as the design's; the list drops down below it.
            const int field = h - 2 * GetSystemMetricsForDpi(SM_CYEDGE, dpi_) - 2;
            SendMessageW(b.widget, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
            const int item = static_cast<int>(SendMessageW(b.widget, CB_GETITEMHEIGHT, 0, 0));
            h += item * kMaskItemCount + 2;
        }
        MoveWindow(b.widget, x, y, w, h, TRUE);
        if (d.kind == Kind::ComboBox)
            fitMaskLine(b.widget, d);
    }
    if (list_)
        list_->fitColumns();
}

// A font gives an edit line the margins the font asks for, which for a Japanese face are so
// wide that the end of "255.255.255.192    /26" no longer fits the design's width: the line
// gets a margin of one twip. Where the face is still wider than the design's (Wine stands in
// another face for ＭＳ Ｐゴシック), the line's font is made a pixel smaller at a time until the
// widest item fits; the list below keeps the design's size.
void Window::fitMaskLine(HWND combo, const ControlDesign& d) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || !info.hwndItem)
        return;
    HWND line = info.hwndItem;
    const int margin = std::max(1, toPixels(15, dpi_));
    const LONG designHeight = Look::heightOf(d, dpi_);
    HDC dc = GetDC(line);
    for (LONG height = designHeight;; --height) {
        HFONT font = look_.font(d, height);
        SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(line, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELPARAM(margin, margin));
        RECT r{};
        SendMessageW(line, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
        HGDIOBJ old = SelectObject(dc, font);
        LONG widest = 0;
        for (std::string_view item : maskItems()) {
            const std::wstring text = platform::widen(item);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            widest = std::max(widest, extent.cx);
        }
        SelectObject(dc, old);
        if (widest <= r.right - r.left || height <= designHeight * 4 / 5)
            break;
    }
    ReleaseDC(line, dc);
    InvalidateRect(line, nullptr, TRUE);
}

// What a screen reader calls each control: the design's meaning (a caption says itself). The
// control answers WM_GETOBJECT with it, and the name is also annotated on the control for the
// readers that look there.
void Window::nameForScreenReaders() {
    names_.assign(bound_.size(), std::wstring{});
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        const Bound& b = bound_[i];
        const std::string name = accessibleName(*b.design);
        if (name.empty() || b.design->kind == Kind::Button)
            continue;
        names_[i] = platform::widen(name);
        SetWindowSubclass(b.widget, &Window::namedProc, 2, reinterpret_cast<DWORD_PTR>(&names_[i]));
    }
    IAccPropServices* props = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&props))))
        return;
    for (std::size_t i = 0; i < bound_.size(); ++i)
        if (!names_[i].empty())
            props->SetHwndPropStr(bound_[i].widget, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_NAME, names_[i].data());
    props->Release();
}

LRESULT CALLBACK Window::namedProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR name) {
    if (m == WM_GETOBJECT)
        if (const LRESULT answer =
                namedAccessibleObject(h, w, l, *reinterpret_cast<const std::wstring*>(name)))
            return answer;
    if (m == WM_NCDESTROY)
        RemoveWindowSubclass(h, &Window::namedProc, 2);
    return DefSubclassProc(h, m, w, l);
}

HWND Window::control(ControlId id, int index) const {
    return bound_.widget(id, index);
}

Window::Bound* Window::boundOf(HWND h) {
    if (!h)
        return nullptr;
    const int id = GetDlgCtrlID(h) - kFirstId;
    if (id >= 0 && id < static_cast<int>(bound_.size()) && bound_[id].widget == h)
        return &bound_[id];
    // The edit field inside the mask box.
    HWND parent = GetParent(h);
    return parent && parent != hwnd_ ? boundOf(parent) : nullptr;
}

void Window::command(int id, int code, HWND from) {
    Bound* b = boundOf(from);
    if (!b || binder_->syncing() || id < kFirstId)
        return;
    const ControlDesign& d = *b->design;
    if ((d.kind == Kind::Button && code == BN_CLICKED) ||
        (frontend::isLabel(d.kind) && code == STN_CLICKED && d.click != Click::None)) {
        // 印刷 hides the buttons while it prints, and a hidden button hands the focus to the
        // window itself: the button gets it back once it shows again.
        HWND focused = GetFocus();
        binder_->clicked(d.click);
        const HWND now = GetFocus();
        if (d.kind == Kind::Button && focused && now == hwnd_ && IsWindowVisible(focused) &&
            IsWindowEnabled(focused))
            SetFocus(focused);
        announcer_->clicked(d.click, binder_->form());
    } else if (d.kind == Kind::TextBox && code == EN_CHANGE)
        binder_->typed(d.id, platform::narrow(textOf(from)));
    else if (d.kind == Kind::ComboBox && code == CBN_EDITCHANGE)
        binder_->maskTyped(platform::narrow(textOf(from)));
    else if (d.kind == Kind::ComboBox && code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0));
        if (index >= 0)
            binder_->maskChosen(index);
    }
}

// How a Win32 control takes each change of its model control.
struct Window::SetOn {
    Window& window;
    HWND h;
    Kind kind;
    void setCaption(const std::string& caption) const { setText(caption); }
    void setText(const std::string& text) const { win32::setText(h, text); }
    // The colours are asked for when the control paints (WM_CTLCOLOR*); the list view keeps
    // its own.
    void setColors(Color back, Color fore) const {
        if (kind == Kind::ListBox && window.list_)
            window.list_->setColors(colorRef(back), colorRef(fore));
        InvalidateRect(h, nullptr, TRUE);
    }
    void setEnabled(bool on) const {
        // A control turned off while it has the focus would take the focus with it to nowhere
        // (CSV出力 after its export): the focus goes on to the next control first.
        if (!on && GetFocus() == h)
            SetFocus(GetNextDlgTabItem(window.hwnd_, h, FALSE));
        EnableWindow(h, on);
    }
    void setVisible(bool on) const { ShowWindow(h, on ? SW_SHOWNA : SW_HIDE); }
};

void Window::showControl(const ControlDesign& d, const Control& now, unsigned changes) {
    if (HWND h = control(d.id, d.index))
        frontend::applyChanges(SetOn{*this, h, d.kind}, d, now, changes);
}

void Window::showMaskIndex(int index) {
    SendMessageW(control(ControlId::Combo1), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Window::showListIndex(int index) {
    if (list_)
        list_->select(index);
}

void Window::eventDone() {
    announcer_->eventDone(binder_->form());
}

void Window::boxClosed(std::string_view prompt) {
    announcer_->boxClosed(prompt);
}

LRESULT Window::colors(HDC dc, HWND from, LRESULT fallback) {
    Bound* b = boundOf(from);
    if (!b || !binder_)
        return fallback;
    const Control& c = binder_->form().control(b->design->id, b->design->index);
    SetTextColor(dc, colorRef(c.ForeColor));
    SetBkColor(dc, colorRef(c.BackColor));
    return reinterpret_cast<LRESULT>(look_.brush(c.BackColor));
}

HBITMAP Window::capture() {
    sync();
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetClientRect(hwnd_, &r);
    HDC window = GetDC(hwnd_);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP picture = CreateCompatibleBitmap(window, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, picture);
    // The window as drawn, read back from its own surface, children and their frames included,
    // and not the windows in front of it. PrintWindow would be the obvious call, but under Wine
    // it draws the window's background and none of its children.
    BitBlt(memory, 0, 0, r.right, r.bottom, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(hwnd_, window);
    return picture;
}

bool Window::preTranslate(MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN)) {
        wchar_t cls[16];
        if (GetClassNameW(msg.hwnd, cls, 16) && lstrcmpiW(cls, WC_BUTTONW) == 0 &&
            GetParent(msg.hwnd) == hwnd_) {
            // Bit 30: the key was down already, a repeat of a held key.
            if (frontend::enterPressesButton((msg.lParam & (1 << 30)) != 0))
                SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(hwnd_, &msg);
}

LRESULT CALLBACK Window::editProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
    // A whole address pasted into an octet box fills all four; anything else pastes as typing.
    if (m == WM_PASTE && IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(h)) {
        std::wstring text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = p;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        auto* window = reinterpret_cast<Window*>(self);
        if (window->binder_->pasted(platform::narrow(text)))
            return 0;
    }
    return DefSubclassProc(h, m, w, l);
}

LRESULT CALLBACK Window::proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = h;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    return self ? self->handle(m, w, l) : DefWindowProcW(h, m, w, l);
}

LRESULT Window::handle(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_COMMAND:
            command(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(l);
            LRESULT result = 0;
            if (list_ && list_->notify(header, result))
                return result;
            if (list_ && header->hwndFrom == list_->view() && header->code == LVN_ITEMCHANGED &&
                !binder_->syncing() && (reinterpret_cast<NMLISTVIEW*>(l)->uChanged & LVIF_STATE))
                binder_->listChosen(list_->selected());
            return 0;
        }
        case WM_TIMER: {
            const int n = static_cast<int>(w);
            if (n >= 1 && n <= kTimerCount && binder_)
                binder_->ticked(n);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return colors(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l),
                          DefWindowProcW(hwnd_, m, w, l));
        case WM_DPICHANGED: {
            dpi_ = HIWORD(w);
            look_.forgetFonts();
            const auto* r = reinterpret_cast<const RECT*>(l);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            layout();
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, m, w, l);
    }
}

int run(HINSTANCE instance, int show, WindowOptions options) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    int status = 0;
    {
        Window window(instance, options);
        ShowWindow(window.hwnd(), show);
        UpdateWindow(window.hwnd());
        SetFocus(window.control(ControlId::Text1));
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (window.preTranslate(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        status = static_cast<int>(msg.wParam);
    }
    CoUninitialize();
    return status;
}

}  // namespace sabrota::win32
