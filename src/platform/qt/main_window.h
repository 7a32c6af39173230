// The Qt window: every widget built from the design table, fed by the window model (Form1).
// Events go to the model's handlers; afterwards the widgets whose model values changed are
// brought up to date.
#pragma once

#include <QAbstractListModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/posix/posix_services.h"
#include "platform/qt/qt_services.h"
#include "window/form1.h"

class QComboBox;

namespace sabrota::qt {

// The faces the design names, mapped onto installed Japanese fonts. Safe to call again.
void installFontSubstitutions();
QFont designFont(const ControlDesign& d);
// 0x00BBGGRR or a system colour of the desktop's palette.
QColor toQColor(Color c);
// What a screen reader says for the control: its caption, or what the value field holds.
QString accessibleNameFor(const ControlDesign& d);

// An address octet: three characters at most, the input method off.
class OctetEdit : public QLineEdit {
  public:
    explicit OctetEdit(QWidget* parent);
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  protected:
    void inputMethodEvent(QInputMethodEvent* e) override;
};

// A label of the design: text from the top, an optional single-line frame drawn in the
// desktop's text colour whatever the caption's colour is, and mouse presses reported (the
// home-page link).
class DesignLabel : public QLabel {
  public:
    DesignLabel(bool framed, QWidget* parent);
    bool framed() const { return framed_; }
    std::function<void()> clicked;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool framed_;
};

// Reads the entries of the model's list box in place; no copy, no widget per entry.
class NetworkListModel : public QAbstractListModel {
  public:
    explicit NetworkListModel(const ListBox& list, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Reads the entries again if they changed since the last call; true if they had.
    bool refresh();

  private:
    const ListBox& list_;
    std::uint64_t revision_;
    int count_;
};

// Three columns filled top to bottom, then left to right, scrolling sideways.
class NetworkListView : public QListView {
  public:
    explicit NetworkListView(QWidget* parent);

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void fitGrid();
};

struct WindowOptions {
    // Replaces the Qt message box (tests); the window is synchronised before each box anyway.
    platform::MessageBox* box = nullptr;
};

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
    // Brings every widget whose model values changed up to date.
    void sync();
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
        void show(std::string_view prompt, int style, std::string_view title) override;

      private:
        MainWindow& window_;
        platform::MessageBox& target_;
    };

    void build();
    QWidget* makeWidget(const ControlDesign& d);
    void wire(Bound& b);
    void apply(Bound& b, bool force);
    void handle(void (Form1::*handler)());
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
    bool syncing_ = false;
    bool painted_ = false;
};

// Starts the program: fonts, icon, the window, the event loop.
// Shows the window and runs the program; prepare may adjust the window before it is shown.
int run(const std::function<void(MainWindow&)>& prepare = {});

}  // namespace sabrota::qt
