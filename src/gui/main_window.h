// SPDX-License-Identifier: MIT
// The Qt window: every widget built from the design table and bound to its control in the
// window model (Form1) through the toolkit-neutral binder. Clicks, ticks and typing enter the
// model through the binder; it tells the window which controls changed, and the window draws
// them.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "frontend/binder.h"
#include "frontend/registry.h"
#include "gui/network_list.h"
#include "gui/qt_services.h"
#include "window/form1.h"

namespace sabrota::qt {

// What the window gets from the program: where files go and which folder is the program's.
struct WindowOptions {
    platform::FileStore& files;
    platform::ProgramFolder& folder;
    // Replaces the Qt message box (tests); the window is brought up to date before each box
    // anyway.
    platform::MessageBox* box = nullptr;
};

class Announcer;

class MainWindow : public QWidget, private frontend::View {
  public:
    explicit MainWindow(WindowOptions options);
    ~MainWindow() override;

    Form1& form() { return binder_->form(); }
    QWidget* widgetFor(ControlId id, int index = 0) const;
    NetworkListView* listView() const { return list_; }
    NetworkListModel* listModel() const { return listModel_; }
    QtWindowPrinter& printer() { return printer_; }
    Announcer& announcer() { return *announcer_; }
    bool hasAnnouncer() const { return announcer_ != nullptr; }
    // Brings every widget whose control changed up to date.
    void sync() { binder_->sync(); }
    // Runs one event in the model, then syncs. Nothing the model throws unwinds into Qt's
    // event loop: a fault ends that event only, and the window goes on.
    void dispatch(const std::function<void()>& event) { binder_->dispatch(event); }
    // Called once, right after the window has first been drawn.
    std::function<void()> onFirstPaint;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    using Bound = frontend::Registry<QWidget*>::Entry;

    void build();
    QWidget* makeWidget(const ControlDesign& d);
    void wire(const Bound& b);
    void click(Click handler);

    // frontend::View
    void showControl(const ControlDesign& d, const Control& c, unsigned changes) override;
    void showMaskIndex(int index) override;
    void showListIndex(int index) override;
    void eventDone() override;
    void boxClosed(std::string_view prompt) override;

    QtMessageBox qtBox_;
    QtTimerDriver timers_;
    QtShellOpen shell_;
    QtWindowPrinter printer_;
    std::unique_ptr<frontend::Binder> binder_;

    frontend::Registry<QWidget*> bound_;
    NetworkListView* list_ = nullptr;
    NetworkListModel* listModel_ = nullptr;
    Announcer* announcer_ = nullptr;  // told after every event and every message box
    bool painted_ = false;
    QTimer keepSize_;  // one shot: undoes a maximised or full-screen state
};

// Starts the program: the icon, the window, the event loop. prepare may adjust the window
// before it is shown.
int run(platform::FileStore& files, platform::ProgramFolder& folder,
        const std::function<void(MainWindow&)>& prepare = {});

}  // namespace sabrota::qt
