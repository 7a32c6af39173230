// SPDX-License-Identifier: MIT
// What a screen reader finds in the window, read in process through Qt's accessible
// interfaces (the same ones the AT-SPI bridge hands out).
#include <QAccessible>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QListView>
#include <QToolTip>
#include <algorithm>
#include <map>
#include <vector>

#include "gui/accessibility.h"
#include "url_catcher.h"
#include "window/spoken_summary.h"
#include "window_fixture.h"

using namespace sabrota;
using sabrota::qttest::qs;

namespace {

using qttest::UrlCatcher;

QAccessibleInterface* accessible(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

QString shownText(QAccessibleInterface* iface) {
    QAccessibleTextInterface* t = iface->textInterface();
    return t ? t->text(0, t->characterCount()) : QStringLiteral("<no text interface>");
}

// What a value field should say: its meaning, then what the model put into it.
QString spoken(const ControlDesign& d, const std::string& caption) {
    return qs(accessibleName(d)) + " " +
           (caption.empty() ? QString::fromUtf16(qt::kEmptyField) : qs(caption));
}

class AccessibilityTest : public qttest::QtWindowTest {};

TEST_F(AccessibilityTest, TheWindowIsAFrameTitledSabrota) {
    open();
    QAccessibleInterface* iface = accessible(&*window);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window);
    EXPECT_EQ(iface->text(QAccessible::Name), qs(kWindowTitle));
    EXPECT_EQ(iface->childCount(), static_cast<int>(designTable().size()));
}

struct Case {
    const char* address;
    int prefix;
};

// Every value field, bit cell and hex field says its meaning and what it shows, before any run
// and after runs that fill the fields differently; captions keep saying their text.
TEST_F(AccessibilityTest, EveryFieldSaysItsMeaningAndWhatItShows) {
    open();
    const std::vector<Case> runs = {
        {nullptr, 0},     {"192.168.1.130", 26}, {"10.1.2.3", 25},     {"172.16.5.4", 20},
        {"127.0.0.1", 8}, {"192.168.1.0", 30},   {"203.0.113.255", 31}};
    for (const Case& run : runs) {
        SCOPED_TRACE(run.address ? run.address : "start");
        if (run.address)
            calculate(run.address, run.prefix);
        for (const auto& d : designTable()) {
            if (d.kind != Kind::Value && d.kind != Kind::Caption)
                continue;
            SCOPED_TRACE(std::string(d.name) + "(" + std::to_string(d.index) + ")");
            QAccessibleInterface* iface = accessible(w(d.id, d.index));
            ASSERT_NE(iface, nullptr);
            const std::string& caption = reference->control(d.id, d.index).Caption;
            EXPECT_EQ(shownText(iface), qs(caption));
            if (d.kind == Kind::Value) {
                EXPECT_EQ(iface->role(), QAccessible::StaticText);
                EXPECT_EQ(iface->text(QAccessible::Name), spoken(d, caption));
            } else {
                EXPECT_EQ(iface->text(QAccessible::Name), qs(caption));
            }
        }
    }
}

TEST_F(AccessibilityTest, TheHomePageLinkIsALinkThatOpensThePage) {
    open();
    UrlCatcher catcher("https");
    QAccessibleInterface* link = accessible(w(ControlId::Label70));
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), qs(homePage()));
    QAccessibleActionInterface* action = link->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl(qs(homePage())));

    // No other label offers an action: pressing one would do nothing.
    for (const auto& d : designTable())
        if ((d.kind == Kind::Value || d.kind == Kind::Caption) && d.id != ControlId::Label70) {
            QAccessibleActionInterface* a = accessible(w(d.id, d.index))->actionInterface();
            EXPECT_TRUE(!a || a->actionNames().isEmpty()) << d.name;
        }
}

// The refused class A list holds one entry wider than its column: hovering shows it whole, and
// the text a screen reader reads is whole. Entries that fit get no tool tip. (Announcements and
// the list's cells as a screen reader reads them are checked through AT-SPI in tests/a11y: on
// the offscreen platform Qt sends no accessibility events.)
TEST_F(AccessibilityTest, ACutListEntryShowsWholeOnHoverAndToAScreenReader) {
    open();
    qt::NetworkListView* view = window->listView();
    // Three columns of one line each, whatever the entries.
    const QSize grid(view->viewport()->width() / 3, view->fontMetrics().height());
    for (const Case& run : std::vector<Case>{{"10.1.2.3", 25}, {"192.168.1.130", 26}}) {
        SCOPED_TRACE(run.address);
        calculate(run.address, run.prefix);
        EXPECT_EQ(view->gridSize(), grid);
        ASSERT_EQ(window->listModel()->rowCount(), reference->List1.ListCount());
        for (int row = 0; row < reference->List1.ListCount(); ++row) {
            const QString entry = qs(reference->List1.List(row));
            const QModelIndex ix = window->listModel()->index(row);
            EXPECT_EQ(ix.data(Qt::ToolTipRole).toString(), entry);
            EXPECT_EQ(ix.data(Qt::AccessibleTextRole).toString(), entry);

            const bool cut =
                QFontMetrics(view->font()).horizontalAdvance(entry) > view->visualRect(ix).width();
            EXPECT_EQ(view->isCut(ix), cut);
            QToolTip::hideText();
            const QPoint at = view->visualRect(ix).center();
            QHelpEvent hover(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &hover);
            EXPECT_EQ(QToolTip::isVisible(), cut);
            if (cut) {
                EXPECT_EQ(QToolTip::text(), entry);
            }
        }
    }
    // The refusal entry is the one cut.
    calculate("10.1.2.3", 25);
    EXPECT_TRUE(view->isCut(window->listModel()->index(0)));
    QToolTip::hideText();
}

struct Heard {
    QObject* object;
    QAccessible::Event type;
    QString removed, inserted;
};

// A run tells a screen reader every label whose caption changed by its name; the fields the
// summary reads tell their text once, after the run, from what they showed before it; the bit
// cells and the other fields only their name. Then the summary is shown.
TEST_F(AccessibilityTest, ARunTellsEachTextChangeOnceAndEndsWithItsSummary) {
    open();
    std::vector<Heard> heard;
    qt::setAccessibilityListener([&](QAccessibleEvent& e) {
        Heard h{e.object(), e.type(), {}, {}};
        if (e.type() == QAccessible::TextInserted)
            h.inserted = static_cast<QAccessibleTextInsertEvent&>(e).textInserted();
        else if (e.type() == QAccessible::TextRemoved)
            h.removed = static_cast<QAccessibleTextRemoveEvent&>(e).textRemoved();
        else if (e.type() == QAccessible::TextUpdated) {
            h.removed = static_cast<QAccessibleTextUpdateEvent&>(e).textRemoved();
            h.inserted = static_cast<QAccessibleTextUpdateEvent&>(e).textInserted();
        }
        heard.push_back(h);
    });
    const auto isText = [](const Heard& h) {
        return h.type == QAccessible::TextInserted || h.type == QAccessible::TextRemoved ||
               h.type == QAccessible::TextUpdated;
    };
    // From empty fields, to other results, to the same results again.
    for (const Case& run :
         std::vector<Case>{{"192.168.1.130", 26}, {"10.1.2.3", 25}, {"10.1.2.3", 25}}) {
        SCOPED_TRACE(run.address);
        std::map<QObject*, QString> before;
        for (const auto& d : designTable())
            if (QLabel* l = label(d.id, d.index))
                before[l] = l->text();
        heard.clear();
        calculate(run.address, run.prefix);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return std::any_of(heard.begin(), heard.end(), [&](const Heard& h) {
                return h.object == window->announcer().notice() &&
                       h.type == QAccessible::ObjectShow;
            });
        }));
        EXPECT_EQ(window->announcer().lastSaid(), qs(runSummary(*reference)));
        for (const auto& [object, was] : before) {
            const QString now = static_cast<QLabel*>(object)->text();
            SCOPED_TRACE(object->objectName().toStdString());
            std::vector<Heard> texts, names;
            for (const Heard& h : heard)
                if (h.object == object)
                    (isText(h) ? texts : names).push_back(h);
            if (now != was) {
                EXPECT_FALSE(names.empty());
            }
            // A lambda may not capture a structured binding in C++20 as clang 14 reads it.
            const auto* const shown = object;
            const bool read = std::any_of(kSummaryFields.begin(), kSummaryFields.end(),
                                          [&](ControlId id) { return label(id) == shown; });
            if (!read || now == was) {
                EXPECT_TRUE(texts.empty());
                continue;
            }
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0].removed, was);
            EXPECT_EQ(texts[0].inserted, now);
        }
    }
    qt::setAccessibilityListener({});
}

}  // namespace
