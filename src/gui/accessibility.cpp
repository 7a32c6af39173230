#include "gui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
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

// A top-level plain widget reads as a filler; the program's window is a frame.
QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<DesignLabel*>(object))
        return new LabelAccessible(label);
    if (auto* window = dynamic_cast<MainWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

}  // namespace

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

void announceCaptionChange(DesignLabel& label, const QString& before) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent named(&label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleTextUpdateEvent text(&label, 0, before, label.text());
    QAccessible::updateAccessibility(&text);
}

}  // namespace sabrota::qt
