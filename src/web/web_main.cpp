// SPDX-License-Identifier: MIT
// Sabrota in the browser: the model and the binder in WebAssembly, the page draws the window.
// The page calls the exported functions below for every event; the binder tells the page what
// changed through the js_ functions of page.js. A message box waits for the user through
// Asyncify: the model's call stack rests until the page's dialog is closed, and the page holds
// back every other event until then.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

#include "frontend/announcements.h"
#include "frontend/binder.h"
#include "window/design.h"

namespace {

using namespace sabrota;

// clang-format off
EM_ASYNC_JS(void, js_box, (const char* prompt, int exclamation, const char* title), {
    await Module.page.box(UTF8ToString(prompt), exclamation != 0, UTF8ToString(title));
});
EM_JS(void, js_show, (int row, unsigned changes, const char* caption, const char* text,
                      const char* back, const char* fore, int enabled, int visible), {
    Module.page.show(row, changes, UTF8ToString(caption), UTF8ToString(text), UTF8ToString(back),
                     UTF8ToString(fore), enabled != 0, visible != 0);
});
EM_JS(void, js_mask_index, (int index), { Module.page.maskIndex(index); });
EM_JS(void, js_list, (int count, int selected), { Module.page.list(count, selected); });
EM_JS(void, js_timer, (int number, int interval, int enabled), {
    Module.page.timer(number, interval, enabled != 0);
});
EM_JS(void, js_download, (const char* name, const char* bytes, int size), {
    Module.page.download(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});
EM_JS(void, js_open, (const char* target), { Module.page.open(UTF8ToString(target)); });
EM_JS(int, js_print, (), { return Module.page.print() ? 1 : 0; });
EM_JS(void, js_say, (const char* sentence), { Module.page.say(UTF8ToString(sentence)); });
// clang-format on

// The desktop's system colours as the design was drawn with them, fixed on every system.
std::string css(Color c) {
    if (isSystemColor(c)) {
        switch (c & 0xFF) {
            case 0x05:
                return "#ffffff";  // window background
            case 0x08:
            case 0x12:
                return "#000000";  // window and button text
            case 0x0D:
                return "#0078d7";  // selection
            case 0x16:
                return "#e3e3e3";  // 3-D light
            default:
                return "#f0f0f0";  // button face
        }
    }
    char s[8];
    std::snprintf(s, sizeof s, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return s;
}

struct Box : platform::MessageBox {
    void show(std::string_view prompt, platform::BoxStyle style, std::string_view title) override {
        js_box(std::string(prompt).c_str(), style == platform::BoxStyle::Exclamation,
               std::string(title).c_str());
    }
};
struct Timers : platform::TimerDriver {
    void timerChanged(int number, int interval, bool enabled) override {
        js_timer(number, interval, enabled);
    }
};
// The export becomes a download of the whole file, made in memory.
struct Downloads : platform::FileStore {
    bool replaceFile(std::string_view name, std::string_view bytes) override {
        js_download(std::string(name).c_str(), bytes.data(), static_cast<int>(bytes.size()));
        return true;
    }
};
struct Opener : platform::ShellOpen {
    void open(std::string_view target) override { js_open(std::string(target).c_str()); }
};
struct Printer : platform::WindowPrinter {
    bool printWindow() override { return js_print() != 0; }
};
// The page has no folder: the memo lives in the browser's storage, the export is downloaded.
struct NoFolder : platform::ProgramFolder {
    bool makeCurrent() override { return true; }
};

class Page : public frontend::View, frontend::Speaker {
  public:
    Page()
        : binder_(*this, platform::Services{box_, timers_, files_, opener_, printer_, folder_}) {}
    frontend::Binder& binder() { return binder_; }
    frontend::Announcements& announcements() { return announcements_; }

  private:
    void showControl(const ControlDesign& d, const Control& now, unsigned changes) override {
        const auto row = static_cast<int>(&d - designTable().data());
        js_show(row, changes, now.Caption.c_str(), now.Text.c_str(), css(now.BackColor).c_str(),
                css(now.ForeColor).c_str(), now.Enabled, now.Visible);
    }
    void showMaskIndex(int index) override { js_mask_index(index); }
    void showListIndex(int index) override { js_list(binder_.form().List1.ListCount(), index); }
    void eventDone() override { announcements_.eventDone(binder_.form()); }
    void boxClosed(std::string_view prompt) override { announcements_.boxClosed(prompt); }
    void say(const std::string& sentence) override { js_say(sentence.c_str()); }

    Box box_;
    Timers timers_;
    Downloads files_;
    Opener opener_;
    Printer printer_;
    NoFolder folder_;
    frontend::Announcements announcements_{*this};
    frontend::Binder binder_;
};

Page& page() {
    static Page p;
    return p;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void sabrota_start() {
    page().binder().start();
}
EMSCRIPTEN_KEEPALIVE void sabrota_click(int handler) {
    const auto click = static_cast<Click>(handler);
    page().binder().clicked(click);
    page().announcements().clicked(click, page().binder().form());
}
EMSCRIPTEN_KEEPALIVE void sabrota_tick(int timer) {
    page().binder().ticked(timer);
}
EMSCRIPTEN_KEEPALIVE void sabrota_typed(int id, const char* text) {
    page().binder().typed(static_cast<ControlId>(id), text);
}
EMSCRIPTEN_KEEPALIVE void sabrota_mask_typed(const char* text) {
    page().binder().maskTyped(text);
}
EMSCRIPTEN_KEEPALIVE void sabrota_mask_chosen(int index) {
    page().binder().maskChosen(index);
}
EMSCRIPTEN_KEEPALIVE int sabrota_pasted(const char* text) {
    return page().binder().pasted(text) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void sabrota_list_chosen(int index) {
    page().binder().listChosen(index);
}
// The list's entries, read by the page for the rows in view only.
EMSCRIPTEN_KEEPALIVE const char* sabrota_list_entry(int index) {
    static std::string entry;
    entry = std::string(page().binder().form().List1.List(index));
    return entry.c_str();
}

}  // extern "C"
