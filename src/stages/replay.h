// SPDX-License-Identifier: MIT
// A clean run of one input on a window of its own: the window the export compares the live one
// with. It has quiet services of its own, so the run it plays shows no box, needs no clock and
// touches no file, shell or printer; it lies wholly inside the model.
#pragma once

#include <optional>

#include "platform/services.h"
#include "window/form1.h"
#include "window/run_watch.h"

namespace sabrota {

class ExportRule;

class Replay {
  public:
    // Start-up, then the input typed in and Calculate pressed, every stage ticked in its turn.
    // `like` is the rule of the window the replay will be compared with; a list that window
    // shows, made from the same values, is not made again unless a comparison needs it.
    explicit Replay(const RunInput& input, const ExportRule* like = nullptr);
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // Whether the clean run ended well: its button is on.
    bool endedWell() const { return window_.Command3.Enabled; }
    // Whether the live window shows the same as the replay: every control's caption and
    // colours, and the list.
    bool shownBy(const Form1& live);
    // False while the replay's list is only the one its live window showed.
    bool listMade() const { return !watch().deferred; }

  private:
    // Makes the list left unmade; it ends as the making it stood for did, with no fault.
    void makeList();

    // The replay's own window checks nothing; it only leaves unmade a list its live window
    // shows already.
    struct Watch : RunWatch {
        explicit Watch(const ExportRule* liveRule) : like(liveRule) {}
        std::optional<int> listAlreadyShown(const ListSource& from) override;
        const ExportRule* like;
        std::optional<ListSource> deferred;
    };
    // A box that returns at once, as if the user had closed it.
    struct QuietBox : platform::MessageBox {
        void show(std::string_view, platform::BoxStyle, std::string_view) override {}
    };
    // The replay ticks the armed stage itself, in order; no clock runs.
    struct QuietTimers : platform::TimerDriver {
        void timerChanged(int, int, bool) override {}
    };
    struct NoFiles : platform::FileStore {
        bool replaceFile(std::string_view, std::string_view) override { return false; }
    };
    struct NoShell : platform::ShellOpen {
        void open(std::string_view) override {}
    };
    struct NoPrinter : platform::WindowPrinter {
        bool printWindow() override { return false; }
    };
    struct SameFolder : platform::ProgramFolder {
        bool makeCurrent() override { return true; }
    };

    QuietBox box_;
    QuietTimers timers_;
    NoFiles files_;
    NoShell shell_;
    NoPrinter printer_;
    SameFolder folder_;
    Form1 window_;
    Watch& watch() { return static_cast<Watch&>(window_.runWatch()); }
    const Watch& watch() const { return static_cast<const Watch&>(window_.runWatch()); }
};

}  // namespace sabrota
