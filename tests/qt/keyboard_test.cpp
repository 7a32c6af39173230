// SPDX-License-Identifier: MIT
// The keyboard as users of the desktop the window's design comes from know it: Enter presses
// the focused button, Space too, and the mask list drops down below its box.
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>

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

}  // namespace
