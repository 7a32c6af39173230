// The Qt window: every widget built from the design table and bound to its control in the
// window model (Form1). Clicks, ticks and typing enter the model through one dispatch point;
// afterwards the widgets whose controls changed are brought up to date.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "gui/network_list.h"
#include "gui/qt_services.h"
#include "platform/posix/posix_services.h"
#include "window/form1.h"

namespace sabrota::qt {

struct WindowOptions {
    // Replaces the Qt message box (tests); the window is synchronised before each box anyway.
    platform::MessageBox* box = nullptr;
};

class Announcer;

class MainWindow : public QWidget {
  public:
    explicit MainWindow(WindowOptions options = {});
    ~MainWindow() override;

    Form1& form() { return *form_; }
    QWidget* widgetFor(ControlId id, int index = 0) const;
    NetworkListView* listView() const { return list_; }
    NetworkListModel* listModel() const { return listModel_; }
    QtWindowPrinter& printer() { return printer_; }
    QtTimerDriver& timerDriver() { return timers_; }
    Announcer& announcer() { return *announcer_; }
    bool hasAnnouncer() const { return announcer_ != nullptr; }
    // Brings every widget whose control changed up to date.
    void sync();
    // Runs one event in the model, then syncs. Nothing the model throws unwinds into Qt's
    // event loop: a fault ends that event only, and the window goes on.
    void dispatch(const std::function<void()>& event);
    // Called once, right after the window has first been drawn.
    std::function<void()> onFirstPaint;

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    struct Bound {
        const ControlDesign* design;
        QWidget* widget;
        Control shown;
        int shownListIndex = -2;
    };

    class BoxRelay : public platform::MessageBox {
      public:
        BoxRelay(MainWindow& w, platform::MessageBox& target) : window_(w), target_(target) {}
        void show(std::string_view prompt, platform::BoxStyle style,
                  std::string_view title) override;

      private:
        MainWindow& window_;
        platform::MessageBox& target_;
    };

    void build();
    QWidget* makeWidget(const ControlDesign& d);
    void wire(std::size_t i);
    void click(Click handler);
    void apply(Bound& b, bool force);
    void syncList();
    Bound* bound(ControlId id, int index);

    QtMessageBox qtBox_;
    BoxRelay box_;
    QtTimerDriver timers_;
    platform::PosixFileStore files_;
    QtShellOpen shell_;
    QtWindowPrinter printer_;
    platform::ExecutableFolder folder_;
    std::unique_ptr<Form1> form_;

    std::vector<Bound> bound_;
    NetworkListView* list_ = nullptr;
    NetworkListModel* listModel_ = nullptr;
    Announcer* announcer_ = nullptr;  // told after every event and every message box
    bool syncing_ = false;
    bool painted_ = false;
};

// Starts the program: the icon, the window, the event loop. prepare may adjust the window
// before it is shown.
int run(const std::function<void(MainWindow&)>& prepare = {});

}  // namespace sabrota::qt
