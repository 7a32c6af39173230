// SPDX-License-Identifier: MIT
// What every front end of the window needs between its widgets and the window model, written
// once and without a toolkit: the Qt window, the Win32 window and any other front end use it.
//
// The contract:
// - The binder owns the model (Form1). The front end hands it the desktop's services; the
//   binder gives the model relays of the message box and the printer that first bring every
//   widget up to date, so the window behind a box shows how far the handler got, and a print
//   shows what the screen shows.
// - Every event from the front end (a click, a tick, typing, a paste, a choice in the mask box
//   or the list) enters the model through the binder. Nothing the model throws gets past it:
//   the fault ends that event only, is reported once, and the window goes on.
// - After every event the binder compares each control with the copy of what its widget last
//   showed, and tells the view about each control that changed, with what changed. The view
//   only draws; it never reads the model on its own.
// - While the binder tells the view, the front end's widgets report changes the binder made
//   itself; the front end drops them (syncing() is true then).
// - Input the user makes on a widget is on the screen already: the binder records it as shown,
//   so the widget is not set again (which would move the cursor).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/registry.h"
#include "platform/services.h"
#include "window/form1.h"

namespace sabrota::frontend {

// Which properties of a control differ from what its widget shows.
enum Change : unsigned {
    kCaption = 1u << 0,  // labels and buttons
    kText = 1u << 1,     // the octet boxes and the mask box's line
    kColors = 1u << 2,   // BackColor or ForeColor
    kEnabled = 1u << 3,
    kVisible = 1u << 4,
    kAll = kCaption | kText | kColors | kEnabled | kVisible,
};

// The front end's side of the binding.
class View {
  public:
    virtual ~View() = default;
    // The control of the design row now differs from its widget in the changes named; on the
    // first showing every change is named. The front end sets only those properties.
    virtual void showControl(const ControlDesign& design, const Control& now, unsigned changes) = 0;
    // The mask box's selected item, -1 for none.
    virtual void showMaskIndex(int index) = 0;
    // The list's selected entry, to be selected and brought into view; -1 clears the
    // selection and shows the top of the list.
    virtual void showListIndex(int index) = 0;
    // Says that an event ended early because of a fault; the default prints one line on
    // standard error.
    virtual void reportFault(std::string_view what);
    // After every event, once the window is up to date: where a screen reader hears what the
    // event ended.
    virtual void eventDone() {}
    // A message box with this prompt has just been closed by the user.
    virtual void boxClosed(std::string_view prompt) { (void)prompt; }
};

class Binder {
  public:
    // The message box and the printer are wrapped in relays that sync first; the other
    // services go to the model as they are.
    Binder(View& view, platform::Services services);
    ~Binder();
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;

    Form1& form() { return form_; }
    const Form1& form() const { return form_; }

    // Runs the start-up handler and shows every control for the first time.
    void start();
    // Tells the view about every control that changed since it last showed it.
    void sync();
    // Runs one event in the model, then syncs. True when the event ran to its end.
    bool dispatch(const std::function<void()>& event);
    // True while the binder itself is telling the view: widget signals then are its own echo.
    bool syncing() const { return syncing_; }

    // The events a front end passes on.
    void clicked(Click handler);
    void ticked(int timer);
    void typed(ControlId textBox, std::string_view text);  // Text1 … Text4
    void maskTyped(std::string_view text);
    void maskChosen(int index);
    // A paste into an octet box: true when the model took it as a whole address.
    bool pasted(std::string_view text);
    void listChosen(int index);

  private:
    using Shown = Registry<Control>::Entry;  // a control as its widget last showed it
    class BoxRelay;
    class PrinterRelay;

    void show(Shown& s, bool first);

    View& view_;
    std::unique_ptr<BoxRelay> box_;
    std::unique_ptr<PrinterRelay> printer_;
    Form1 form_;
    Registry<Control> shown_;
    int shownMaskIndex_ = -2;
    int shownListIndex_ = -2;
    std::uint64_t shownListRevision_ = ~std::uint64_t{0};
    bool syncing_ = false;
};

}  // namespace sabrota::frontend
