// SPDX-License-Identifier: MIT
// The desktop services of the Qt program: message boxes, timers, the shell's "open" and
// printing of the window.
#pragma once

#include <QImage>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "platform/services.h"
#include "window/form1.h"

class QWidget;

namespace sabrota::qt {

// A modal QMessageBox with one OK button; style 48 shows the exclamation icon.
class QtMessageBox : public platform::MessageBox {
  public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void show(std::string_view prompt, platform::BoxStyle style, std::string_view title) override;

  private:
    QWidget* parent_;
};

// One QTimer per stage timer. A timer ticks every interval while it is enabled, as a desktop
// timer does; the stages switch their own timer off.
class QtTimerDriver : public platform::TimerDriver {
  public:
    QtTimerDriver();
    ~QtTimerDriver() override;
    void attach(std::function<void(int)> fire) { fire_ = std::move(fire); }
    void timerChanged(int number, int interval, bool enabled) override;

  private:
    std::array<std::unique_ptr<QTimer>, kTimerCount> timers_;
    std::function<void(int)> fire_;
};

// Documents are files of the current directory; anything with a scheme is a web address.
class QtShellOpen : public platform::ShellOpen {
  public:
    void open(std::string_view target) override;
};

// Grabs the window's client area as it is on the screen and hands the image to a sink; the
// default sink prints it on the default printer. The window is brought up to date before
// (the binder's relay sees to it), so the buttons the handler hid are hidden in the image too.
class QtWindowPrinter : public platform::WindowPrinter {
  public:
    using Sink = std::function<bool(const QImage&)>;
    explicit QtWindowPrinter(QWidget& window);
    bool printWindow() override;
    void setSink(Sink sink) { sink_ = std::move(sink); }
    // Loads the print module at the first call; false when it cannot be found, there is no
    // default printer or the printer refuses.
    static bool printToDefaultPrinter(const QImage& image);

  private:
    QWidget& window_;
    Sink sink_;
};

}  // namespace sabrota::qt
