// SPDX-License-Identifier: MIT
// When a screen reader is told how a command ended, and with which sentence: the results once
// a run is over, the mask Clear went back to, and the export's outcome once its box has
// closed. Every front end feeds it the same events and delivers the sentence its own way
// (a notification object, an alert), so the rules are the same in every window.
#pragma once

#include <string>
#include <string_view>

#include "window/design.h"
#include "window/spoken_summary.h"

namespace sabrota {
class Form1;
}

namespace sabrota::frontend {

// The front end's way of telling a screen reader: the sentence is said wherever the focus is,
// and the focus stays where it was.
class Speaker {
  public:
    virtual ~Speaker() = default;
    virtual void say(const std::string& sentence) = 0;
};

class Announcements {
  public:
    explicit Announcements(Speaker& speaker) : speaker_(speaker) {}
    Announcements(const Announcements&) = delete;
    Announcements& operator=(const Announcements&) = delete;

    // After every event, once the window is up to date (View::eventDone).
    void eventDone(const Form1& form);
    // A message box with this prompt has been closed (View::boxClosed).
    void boxClosed(std::string_view prompt);
    // A click the binder has just handled. Clear ends at once and arms nothing, so it is
    // told here: a Clear on a window that was clear already is said too.
    void clicked(Click handler, const Form1& form);
    // Whether a run or the export is still on its way, as of the last event.
    bool busy() const { return watch_.busy(); }

  private:
    Speaker& speaker_;
    SummaryWatch watch_;
};

}  // namespace sabrota::frontend
