// SPDX-License-Identifier: MIT
// A clean run of one input on a window of its own: the window the export compares the live one
// with. It has quiet services of its own, so the run it plays shows no box, needs no clock and
// touches no file, shell or printer; it lies wholly inside the model.
#pragma once

#include "platform/services.h"
#include "window/form1.h"

namespace sabrota {

class Replay {
  public:
    // Start-up, then the input typed in and Calculate pressed, every stage ticked in its turn.
    explicit Replay(const Form1::RunInput& input);
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    const Form1& window() const { return window_; }

  private:
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
};

// Whether two windows show the same: every control's caption and colours, and the list.
bool showSame(const Form1& a, const Form1& b);

}  // namespace sabrota
