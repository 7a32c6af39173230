// SPDX-License-Identifier: MIT
// Headless stand-ins for the desktop: a virtual clock for the timers, scripted message boxes,
// a file store in memory, and recorders for shell-open and printing. Tests, fuzzers and
// benchmarks run whole calculations through them in microseconds.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"
#include "window/form1.h"

namespace sabrota::headless {

// Fires armed timers in due order on virtual milliseconds. Like a desktop timer, an enabled
// timer ticks every interval until it is switched off; setting either property restarts it.
class VirtualClock : public platform::TimerDriver {
  public:
    void attach(std::function<void(int)> fire) { fire_ = std::move(fire); }
    void timerChanged(int number, int interval, bool enabled) override;

    long long now() const { return now_; }
    // Moves time on by ms, firing every tick that falls due on the way (ties: lower timer first).
    void advance(long long ms);
    // Moves on until no timer is armed; false if one still is after limitMs.
    bool runUntilIdle(long long limitMs = 60'000);
    bool anyArmed() const;
    bool armed(int number) const { return due_[number - 1] >= 0; }
    // Timer numbers in the order they fired.
    std::vector<int> fired;

  private:
    std::function<void(int)> fire_;
    long long now_ = 0;
    long long due_[kTimerCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int interval_[kTimerCount] = {};
};

struct Shown {
    std::string prompt;
    // The box's style as the desktop the window comes from numbers it: 0 for a plain box, 48
    // for one with the exclamation icon, so a test reads like the box it expects.
    int style;
    std::string title;
    bool operator==(const Shown&) const = default;
};

// Records every box; the test may act while one is "open" (the desktop's nested event loop).
class ScriptedMessageBox : public platform::MessageBox {
  public:
    void show(std::string_view prompt, platform::BoxStyle style, std::string_view title) override;
    std::vector<Shown> shown;
    std::function<void(const Shown&)> whileOpen;
    int openNow = 0;
};

class MemoryFileStore : public platform::FileStore {
  public:
    bool replaceFile(std::string_view name, std::string_view bytes) override;
    std::map<std::string, std::string, std::less<>> files;
    bool failing = false;   // every write fails and leaves the files as they are
    bool throwing = false;  // every write throws, as a part of the system that is missing would
    int writes = 0;
};

class RecordingShell : public platform::ShellOpen {
  public:
    void open(std::string_view target) override { opened.emplace_back(target); }
    std::vector<std::string> opened;
};

class RecordingPrinter : public platform::WindowPrinter {
  public:
    bool printWindow() override;
    std::function<void()> whilePrinting;
    bool succeeds = true;
    int pages = 0;
};

class StayingFolder : public platform::ProgramFolder {
  public:
    bool makeCurrent() override {
        ++calls;
        return true;
    }
    int calls = 0;
};

// A whole window with headless services, loaded as at start-up.
class HeadlessWindow {
  public:
    HeadlessWindow();
    VirtualClock clock;
    ScriptedMessageBox box;
    MemoryFileStore files;
    RecordingShell shell;
    RecordingPrinter printer;
    StayingFolder folder;
    std::unique_ptr<Form1> form;

    Form1& operator*() { return *form; }
    Form1* operator->() { return form.get(); }

    // Types the address and the mask text, presses Calculate and lets the run finish.
    void calculate(const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d, const std::string& maskText);
    // Types the dotted address and chooses the Combo1 item of a prefix length (8 … 31).
    void enter(const std::string& dotted, int prefix);
    // The same, then presses Calculate and lets the run finish.
    void calculate(const std::string& dotted, int prefix);
    // Presses "CSV出力" and lets the export finish; the bytes written, or empty.
    std::string exportCsv();
};

}  // namespace sabrota::headless
