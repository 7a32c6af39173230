// SPDX-License-Identifier: MIT
// The small interfaces through which the window model reaches the desktop. The Qt program
// supplies real ones; tests, fuzzers and benchmarks supply the headless ones.
#pragma once

#include <string>
#include <string_view>

namespace sabrota::platform {

// The two kinds of message box the program shows; both have one OK button.
enum class BoxStyle {
    Plain,        // no icon: the export's reports
    Exclamation,  // the exclamation icon: input errors and findings that stop the analysis
};

class MessageBox {
  public:
    virtual ~MessageBox() = default;
    // Modal: returns when the user has closed the box. The title is never empty.
    virtual void show(std::string_view prompt, BoxStyle style, std::string_view title) = 0;
};

// Told every time a timer's interval or enabled flag is set. A timer with an interval above 0
// that is enabled ticks every interval milliseconds; setting either property restarts the count.
class TimerDriver {
  public:
    virtual ~TimerDriver() = default;
    virtual void timerChanged(int number, int interval, bool enabled) = 0;
};

// Puts a whole new content in place of a file of the current directory, or leaves the old
// file exactly as it was and reports false.
class FileStore {
  public:
    virtual ~FileStore() = default;
    virtual bool replaceFile(std::string_view name, std::string_view bytes) = 0;
};

// The desktop's "open" on a document of the current directory or a web address. It does not
// wait and reports nothing.
class ShellOpen {
  public:
    virtual ~ShellOpen() = default;
    virtual void open(std::string_view target) = 0;
};

// Prints the window's client area, as it is on the screen now, to the default printer.
class WindowPrinter {
  public:
    virtual ~WindowPrinter() = default;
    virtual bool printWindow() = 0;
};

// Makes the folder of the program's executable the current directory.
class ProgramFolder {
  public:
    virtual ~ProgramFolder() = default;
    virtual bool makeCurrent() = 0;
};

struct Services {
    MessageBox& box;
    TimerDriver& timers;
    FileStore& files;
    ShellOpen& shell;
    WindowPrinter& printer;
    ProgramFolder& folder;
};

}  // namespace sabrota::platform
