// SPDX-License-Identifier: MIT
#include "gui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "gui/main_window.h"
#include "gui/widgets.h"

namespace sabrota::qt {

namespace {

// A design label as a screen reader meets it. Qt's own label interface takes the accessible
// name in place of the text, so a value field set up with its meaning would never be heard
// saying what it shows; this one says both, and offers the shown text as text. The clickable
// label (the home-page link) is a link whose one action opens the page.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit LabelAccessible(DesignLabel* label)
        : QAccessibleWidget(label, label->clicked ? QAccessible::Link : QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return spokenName(*label());
        if (t == QAccessible::Value)
            return label()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QStringList actionNames() const override {
        if (label()->clicked)
            return {pressAction()};
        return {};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && label()->clicked && label()->isEnabled())
            label()->clicked();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The shown text, read only, with no selection and no cursor.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString shown = label()->text();
        start = std::clamp(start, 0, int(shown.size()));
        end = end < 0 ? int(shown.size()) : std::clamp(end, start, int(shown.size()));
        return shown.mid(start, end - start);
    }
    int characterCount() const override { return int(label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

  private:
    DesignLabel* label() const { return static_cast<DesignLabel*>(widget()); }
};

// The object the summaries are heard from. It is a window of its own that is never shown, so
// it neither takes room nor counts among the window's controls; a screen reader is told that
// it appeared each time it has something to say.
class NoticeWidget : public QWidget {
  public:
    explicit NoticeWidget(QWidget* owner) : QWidget(owner, Qt::Tool) {
        setObjectName(QStringLiteral("notice"));
        setAttribute(Qt::WA_DontShowOnScreen);
    }
    QString said;
};

class NoticeAccessible : public QAccessibleWidget {
  public:
    explicit NoticeAccessible(NoticeWidget* notice)
        : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<NoticeWidget*>(widget())->said;
        return QAccessibleWidget::text(t);
    }
};

// A top-level plain widget reads as a filler; the program's window is a frame.
QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<DesignLabel*>(object))
        return new LabelAccessible(label);
    if (auto* notice = dynamic_cast<NoticeWidget*>(object))
        return new NoticeAccessible(notice);
    if (auto* window = dynamic_cast<MainWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

std::function<void(QAccessibleEvent&)>& listener() {
    static std::function<void(QAccessibleEvent&)> l;
    return l;
}

}  // namespace

void sendAccessibilityEvent(QAccessibleEvent& event) {
    if (listener())
        listener()(event);
    else
        QAccessible::updateAccessibility(&event);
}

bool accessibilityListening() {
    return listener() || QAccessible::isActive();
}

void setAccessibilityListener(std::function<void(QAccessibleEvent&)> l) {
    listener() = std::move(l);
}

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

QString spokenName(const DesignLabel& label) {
    if (!label.holdsValue())
        return label.text().isEmpty() ? label.accessibleName() : label.text();
    const QString shown = label.text().isEmpty() ? QString::fromUtf16(kEmptyField) : label.text();
    return label.accessibleName() + u' ' + shown;
}

namespace {
// One text event for the change: an insertion or a removal where that is all that happened.
void sendTextChange(DesignLabel& label, const QString& before) {
    const QString after = label.text();
    if (before.isEmpty()) {
        QAccessibleTextInsertEvent text(&label, 0, after);
        sendAccessibilityEvent(text);
    } else if (after.isEmpty()) {
        QAccessibleTextRemoveEvent text(&label, 0, before);
        sendAccessibilityEvent(text);
    } else {
        QAccessibleTextUpdateEvent text(&label, 0, before, after);
        sendAccessibilityEvent(text);
    }
}

}  // namespace

// A screen reader drops the name changes of labels as they arrive, but it queues every text
// change and works through them one by one. A run empties and fills some forty fields and
// sixty-four bit cells, each change a removal and an insertion; told as they happen, a second
// run would bury its own summary under them. So only the fields the summary reads tell their
// text, once the run is over; the others, the bit cells among them, tell only their name.
void announceCaptionChange(DesignLabel& label, const QString& before) {
    if (!accessibilityListening())
        return;
    QAccessibleEvent named(&label, QAccessible::NameChanged);
    sendAccessibilityEvent(named);
    if (!label.sendsTextChanges())
        return;
    if (auto* window = dynamic_cast<MainWindow*>(label.window()); window && window->hasAnnouncer())
        window->announcer().holdTextChange(label, before);
    else
        sendTextChange(label, before);
}

Announcer::Announcer(MainWindow& window)
    : QObject(&window), window_(window), announcements_(*this) {
    installAccessibility();
    notice_ = new NoticeWidget(&window);
    for (const auto& d : designTable())
        if (auto* label = dynamic_cast<DesignLabel*>(window.widgetFor(d.id, d.index)))
            label->setSendsTextChanges(std::find(kSummaryFields.begin(), kSummaryFields.end(),
                                                 d.id) != kSummaryFields.end());
    // Qt names a combo box by the text it shows and lets the label that belongs to it say what
    // it is for: the heading above the mask box is its label. The line in the box, which has
    // the focus while the user types, carries the box's own name.
    if (auto* box = qobject_cast<QComboBox*>(window.widgetFor(ControlId::Combo1))) {
        if (auto* heading = qobject_cast<QLabel*>(window.widgetFor(ControlId::Label48)))
            heading->setBuddy(box);
        if (box->lineEdit())
            box->lineEdit()->setAccessibleName(box->accessibleName());
    }
    // Each button's click reaches the announcements after the window has handled it.
    for (const auto& d : designTable())
        if (auto* button = qobject_cast<QPushButton*>(window.widgetFor(d.id, d.index)))
            connect(button, &QPushButton::clicked, this,
                    [this, click = d.click] { announcements_.clicked(click, window_.form()); });
    // After a message box the window takes the focus back a moment later; a summary said
    // before that would be cut short by the focus being announced.
    settle_.setInterval(50);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (window_.isActiveWindow() || ++waits_ >= 40)
            deliver();
    });
}

Announcer::~Announcer() {
    delete notice_;
}

void Announcer::afterEvent() {
    announcements_.eventDone(window_.form());
    if (!announcements_.busy())
        releaseTextChanges();
}

void Announcer::holdTextChange(DesignLabel& label, const QString& before) {
    for (const auto& [held, was] : held_)
        if (held == &label)
            return;
    held_.emplace_back(&label, before);
}

void Announcer::releaseTextChanges() {
    auto held = std::move(held_);
    held_.clear();
    for (const auto& [label, before] : held)
        if (label && label->text() != before)
            sendTextChange(*label, before);
}

void Announcer::boxClosed(std::string_view prompt) {
    announcements_.boxClosed(prompt);
}

QWidget* Announcer::notice() const {
    return notice_;
}

QString Announcer::lastSaid() const {
    return notice_ ? static_cast<NoticeWidget*>(notice_.data())->said : QString();
}

void Announcer::say(const std::string& sentence) {
    pending_ = QString::fromStdString(sentence);
    waits_ = 0;
    settle_.start();
}

void Announcer::deliver() {
    settle_.stop();
    auto* notice = static_cast<NoticeWidget*>(notice_.data());
    if (!notice)
        return;
    notice->said = pending_;
    if (!accessibilityListening())
        return;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    sendAccessibilityEvent(shown);
}

}  // namespace sabrota::qt
