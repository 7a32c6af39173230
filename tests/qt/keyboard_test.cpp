// SPDX-License-Identifier: MIT
// The keyboard as users of the desktop the window's design comes from know it: Enter presses
// the focused button, Space too, and the mask list drops down below its box.
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>

#include "gui/network_list.h"
#include "gui/widgets.h"
#include "window_fixture.h"

using namespace sabrota;
using sabrota::qttest::qs;

namespace {

class KeyboardTest : public qttest::QtWindowTest {
  protected:
    // Sends one key stroke to the focused widget, as the keyboard does.
    void stroke(QWidget* to, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        to->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return to->hasFocus(); }, 2000));
        QTest::keyClick(to, key, mods);
    }
    void expectNoDefaultButton() {
        for (const auto& d : designTable())
            if (d.kind == Kind::Button) {
                EXPECT_FALSE(button(d.id)->isDefault()) << d.name;
                EXPECT_FALSE(button(d.id)->autoDefault()) << d.name;
            }
    }
};

struct Stroke {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
};
const Stroke kPressKeys[] = {{"Return", Qt::Key_Return, Qt::NoModifier},
                             {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
                             {"Space", Qt::Key_Space, Qt::NoModifier}};

// 計算 pressed from the keyboard runs the calculation; クリア pressed so clears it again.
TEST_F(KeyboardTest, EnterReturnAndSpacePressTheFocusedButton) {
    open();
    for (const Stroke& s : kPressKeys) {
        SCOPED_TRACE(s.name);
        enter("192.168.1.130", 26);
        stroke(button(ControlId::CMD1), s.key, s.mods);
        ASSERT_TRUE(waitForRun());
        reference.calculate("192.168.1.130", 26);
        EXPECT_EQ(window->listModel()->rowCount(), reference->List1.ListCount());
        EXPECT_EQ(label(ControlId::Label24)->text(), qs(reference->Label24.Caption));
        EXPECT_FALSE(label(ControlId::Label24)->text().isEmpty());

        stroke(button(ControlId::Command2), s.key, s.mods);
        ASSERT_TRUE(waitForRun());
        EXPECT_EQ(window->listModel()->rowCount(), 0);
        EXPECT_EQ(label(ControlId::Label24)->text(), "");
        expectNoDefaultButton();
    }
}

// A held Enter key presses once, not once per repeat.
TEST_F(KeyboardTest, AHeldEnterKeyPressesOnce) {
    open();
    enter("192.168.1.130", 26);
    QPushButton* calc = button(ControlId::CMD1);
    calc->setFocus();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString("\r"), true);
    QApplication::sendEvent(calc, &repeat);
    EXPECT_TRUE(idle());
    EXPECT_EQ(label(ControlId::Label24)->text(), "");
}

// Enter in an octet box or in the mask box presses no button: there is no default button.
TEST_F(KeyboardTest, EnterInATextBoxDoesNothing) {
    open();
    enter("192.168.1.130", 26);
    std::vector<QWidget*> boxes = {edit(1), edit(2), edit(3), edit(4), combo()};
    for (QWidget* b : boxes) {
        SCOPED_TRACE(b->objectName().toStdString());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            stroke(b, key);
            QTest::qWait(50);
            EXPECT_TRUE(idle());
            EXPECT_EQ(label(ControlId::Label24)->text(), "");
            EXPECT_EQ(window->listModel()->rowCount(), 0);
            EXPECT_TRUE(box.shown.empty());
        }
    }
    expectNoDefaultButton();
}

// The drop-down opens below the box as a list of ten items with a scroll bar, the chosen
// item in sight, wherever in the list it is.
TEST_F(KeyboardTest, TheMaskListDropsDownBelowTheBoxWithTheChosenItemInSight) {
    open();
    QComboBox* c = combo();
    // Styles that lay a menu over the box (Fusion does for a box that cannot be typed into) do
    // not get their way here, whichever style the desktop sets.
    QStyleOptionComboBox option;
    option.initFrom(c);
    for (bool editable : {true, false}) {
        option.editable = editable;
        EXPECT_EQ(c->style()->styleHint(QStyle::SH_ComboBox_Popup, &option, c), 0) << editable;
    }
    for (int prefix : {24, 8, 31, 19}) {
        SCOPED_TRACE(prefix);
        enter("192.168.1.130", prefix);
        c->showPopup();
        QAbstractItemView* list = c->view();
        QWidget* popup = list->window();
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 2000));
        const QRect field(c->mapToGlobal(QPoint(0, 0)), c->size());
        const QRect drop = popup->geometry();
        EXPECT_GE(drop.top(), field.bottom()) << "the list covers the box";
        EXPECT_LE(drop.top(), field.bottom() + 4);
        EXPECT_LE(std::abs(drop.left() - field.left()), 2);

        const int row = list->sizeHintForRow(0);
        ASSERT_GT(row, 0);
        EXPECT_EQ(list->viewport()->height() / row, qt::kDropDownItems);
        EXPECT_TRUE(list->verticalScrollBar()->isVisible());
        EXPECT_EQ(list->currentIndex().row(), prefix - 8);
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->currentIndex())));
        EXPECT_TRUE(c->screen()->geometry().contains(drop));
        c->hidePopup();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !popup->isVisible(); }, 2000));
    }
}

// Where a key takes the focused entry of the 65,536-entry list of 10.1.2.3 /24, in columns
// and lines: -1 is the last column, or the last line of its column.
struct Place {
    int column, line;
};
struct ListMove {
    const char* name;
    Place from;
    Qt::Key key;
    Place to;
};
const ListMove kListMoves[] = {
    {"Down to the next entry", {0, 0}, Qt::Key_Down, {0, 1}},
    {"Down from a column's foot to the next head", {0, -1}, Qt::Key_Down, {1, 0}},
    {"Up from a head to the previous foot", {1, 0}, Qt::Key_Up, {0, -1}},
    {"Up at the first entry stays", {0, 0}, Qt::Key_Up, {0, 0}},
    {"Right to the same line of the next column", {0, 3}, Qt::Key_Right, {1, 3}},
    {"Left to the same line of the column before", {2, 3}, Qt::Key_Left, {1, 3}},
    {"Left in the first column stays", {0, 3}, Qt::Key_Left, {0, 3}},
    {"Right past the view scrolls a column", {2, 1}, Qt::Key_Right, {3, 1}},
    {"Page Down to the column's foot", {5, 2}, Qt::Key_PageDown, {5, -1}},
    {"Page Up to the column's head", {5, 2}, Qt::Key_PageUp, {5, 0}},
    {"Home to the first entry", {700, 4}, Qt::Key_Home, {0, 0}},
    {"End to the last entry, far out of view", {0, 0}, Qt::Key_End, {-1, -1}},
    {"Down at the last entry stays", {-1, -1}, Qt::Key_Down, {-1, -1}},
    {"Right in the last column stays", {-1, 0}, Qt::Key_Right, {-1, 0}},
};

// The model's ListIndex follows the keys, and the entry they reach is always in view.
TEST_F(KeyboardTest, KeysMoveThroughTheListColumnByColumn) {
    open();
    enter("10.1.2.3", 24);
    QTest::mouseClick(button(ControlId::CMD1), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    qt::NetworkListView* view = window->listView();
    auto* model = window->listModel();
    const int n = model->rowCount();
    ASSERT_EQ(n, 65536);
    const int perColumn = view->viewport()->height() / view->gridSize().height();
    ASSERT_GT(perColumn, 4);
    const int lastColumn = (n - 1) / perColumn;
    const auto row = [&](Place p) {
        const int column = p.column < 0 ? lastColumn : p.column;
        const int foot = std::min(perColumn - 1, n - 1 - column * perColumn);
        return column * perColumn + (p.line < 0 ? foot : p.line);
    };
    for (const ListMove& m : kListMoves) {
        SCOPED_TRACE(m.name);
        view->setCurrentIndex(model->index(row(m.from)));
        stroke(view, m.key);
        EXPECT_EQ(view->currentIndex().row(), row(m.to));
        EXPECT_EQ(form().List1.ListIndex, row(m.to));
        EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
        EXPECT_EQ(view->indexAt(view->visualRect(view->currentIndex()).center()),
                  view->currentIndex());
    }
}

}  // namespace
