// SPDX-License-Identifier: MIT
#include "frontend/binder.h"

#include <cstdio>
#include <exception>

namespace sabrota::frontend {

void View::reportFault(std::string_view what) {
    std::fprintf(stderr, "sabrota: an event ended early: %.*s\n", static_cast<int>(what.size()),
                 what.data());
}

// A box opens in the middle of a handler: the window behind it shows how far it got.
class Binder::BoxRelay : public platform::MessageBox {
  public:
    BoxRelay(Binder& binder, platform::MessageBox& target) : binder_(binder), target_(target) {}
    void show(std::string_view prompt, platform::BoxStyle style, std::string_view title) override {
        binder_.sync();
        target_.show(prompt, style, title);
        binder_.view_.boxClosed(prompt);
    }

  private:
    Binder& binder_;
    platform::MessageBox& target_;
};

// The print handler hides the buttons just before it prints; the page must not show them.
class Binder::PrinterRelay : public platform::WindowPrinter {
  public:
    PrinterRelay(Binder& binder, platform::WindowPrinter& target)
        : binder_(binder), target_(target) {}
    bool printWindow() override {
        binder_.sync();
        return target_.printWindow();
    }

  private:
    Binder& binder_;
    platform::WindowPrinter& target_;
};

Binder::Binder(View& view, platform::Services services)
    : view_(view),
      box_(std::make_unique<BoxRelay>(*this, services.box)),
      printer_(std::make_unique<PrinterRelay>(*this, services.printer)),
      form_(platform::Services{*box_, services.timers, services.files, services.shell, *printer_,
                               services.folder}) {
    shown_.reserve(designTable().size());
    for (const auto& d : designTable())
        shown_.add(d, Control{});
}

Binder::~Binder() = default;

void Binder::start() {
    dispatch([this] { form_.Form_Load(); });
    syncing_ = true;
    for (Shown& s : shown_)
        show(s, true);
    syncing_ = false;
    sync();
}

void Binder::show(Shown& s, bool first) {
    const ControlDesign& d = *s.design;
    const Control& now = form_.control(d.id, d.index);
    Control& was = s.widget;
    unsigned changes = first ? unsigned{kAll} : 0u;

    if (d.id == ControlId::Combo1) {
        const int index = form_.Combo1.ListIndex();
        if (first || index != shownMaskIndex_) {
            view_.showMaskIndex(index);
            shownMaskIndex_ = index;
            // Choosing an item puts its text into the line; the line must show the model's.
            changes |= kText;
        }
    }
    if (now.Caption != was.Caption)
        changes |= kCaption;
    if (now.Text != was.Text)
        changes |= kText;
    if (now.BackColor != was.BackColor || now.ForeColor != was.ForeColor)
        changes |= kColors;
    if (now.Enabled != was.Enabled)
        changes |= kEnabled;
    // A control starts visible; only a hidden one needs telling on the first showing.
    if (now.Visible != was.Visible || (first && !now.Visible))
        changes |= kVisible;
    else if (first)
        changes &= ~unsigned{kVisible};
    if (changes != 0)
        view_.showControl(d, now, changes);
    was = now;
}

void Binder::sync() {
    if (syncing_)
        return;
    syncing_ = true;
    for (Shown& s : shown_)
        show(s, false);
    // The entries follow the model on their own; the selection is brought into view here. A
    // list filled anew has lost its selection even where the index is the same.
    const int want = form_.List1.ListIndex;
    if (want != shownListIndex_ || form_.List1.revision() != shownListRevision_) {
        view_.showListIndex(want);
        shownListIndex_ = want;
        shownListRevision_ = form_.List1.revision();
    }
    syncing_ = false;
}

bool Binder::dispatch(const std::function<void()>& event) {
    bool ended = true;
    try {
        event();
    } catch (const std::exception& e) {
        ended = false;
        view_.reportFault(e.what());
    }
    sync();
    view_.eventDone();
    return ended;
}

void Binder::clicked(Click handler) {
    dispatch([&] { form_.click(handler); });
}

void Binder::ticked(int timer) {
    dispatch([&] { form_.timerTick(timer); });
}

void Binder::typed(ControlId textBox, std::string_view text) {
    if (syncing_)
        return;
    dispatch([&] {
        Control& c = form_.control(textBox);
        c.Text = std::string(text);
        if (Shown* s = shown_.find(textBox))
            s->widget.Text = c.Text;
    });
}

void Binder::maskTyped(std::string_view text) {
    if (syncing_)
        return;
    dispatch([&] {
        form_.Combo1.typeText(text);
        // What the user types is on the screen already; choosing the matching item again
        // would reset the line and throw the cursor to its end.
        shownMaskIndex_ = form_.Combo1.ListIndex();
        if (Shown* s = shown_.find(ControlId::Combo1))
            s->widget.Text = form_.Combo1.Text;
    });
}

void Binder::maskChosen(int index) {
    if (syncing_)
        return;
    dispatch([&] { form_.Combo1.setListIndex(index); });
}

bool Binder::pasted(std::string_view text) {
    bool taken = false;
    dispatch([&] { taken = form_.pasteAddress(text); });
    return taken;
}

void Binder::listChosen(int index) {
    if (syncing_)
        return;
    form_.List1.ListIndex = index;
    shownListIndex_ = index;
}

}  // namespace sabrota::frontend
