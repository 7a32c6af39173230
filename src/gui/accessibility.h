// SPDX-License-Identifier: MIT
// What a screen reader hears of the window's own widgets: the design's labels with their
// meaning and what they show, the home-page link as a link, the window as a frame, and a
// spoken summary when a run, Clear or the export has ended.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/announcements.h"

class QAccessibleEvent;
class QWidget;

namespace sabrota::qt {

class DesignLabel;
class MainWindow;

// Said for a value field that shows nothing yet, so an empty field is not silence.
inline constexpr char16_t kEmptyField[] = u"空";

// Puts the window's accessible interfaces in place; the first call does it, later ones
// nothing. Called before the window builds its widgets.
void installAccessibility();

// Where the window's own accessibility events go: to Qt, which hands them to a screen reader
// while one listens, or, once a test has set a listener, to that listener alone. (Qt sends
// nothing on a platform without a screen reader bridge, such as the offscreen one.)
void sendAccessibilityEvent(QAccessibleEvent& event);
bool accessibilityListening();
void setAccessibilityListener(std::function<void(QAccessibleEvent&)> listener);

// What a screen reader names the label: a value field by its meaning and what it shows
// ("アドレスクラス C", "アドレスクラス 空"), a caption by its text.
QString spokenName(const DesignLabel& label);

// Tells a screen reader that the label's caption was before and is now its text: its name
// changed at once and, unless the label keeps its text changes to itself, which text went and
// came. In the program's window the text changes wait for the window's announcer.
void announceCaptionChange(DesignLabel& label, const QString& before);

// Speaks the summaries of the window's runs, of Clear and of the export. The sentence goes to
// a notification object that is announced as shown: a screen reader says it wherever the
// focus is, and the focus stays where it was. Told by the window after every event it has
// handled and after every message box; it hears the clicks itself. When and what to say is
// decided by the announcements every front end shares.
class Announcer : public QObject, private frontend::Speaker {
  public:
    explicit Announcer(MainWindow& window);
    ~Announcer() override;
    void afterEvent();
    void boxClosed(std::string_view prompt);
    // Keeps a label's text change until the event, or the run or export it belongs to, is
    // over; then each label that changed is told once, from what it showed before.
    void holdTextChange(DesignLabel& label, const QString& before);
    // The object a screen reader hears the summaries from, and what it said last.
    QWidget* notice() const;
    QString lastSaid() const;

  private:
    void say(const std::string& sentence) override;
    void deliver();
    void releaseTextChanges();

    MainWindow& window_;
    frontend::Announcements announcements_;
    QPointer<QWidget> notice_;
    QString pending_;
    QTimer settle_;
    int waits_ = 0;
    std::vector<std::pair<QPointer<DesignLabel>, QString>> held_;
};

}  // namespace sabrota::qt
