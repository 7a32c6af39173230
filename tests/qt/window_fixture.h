// SPDX-License-Identifier: MIT
// The Qt window opened for a test, driven through its real widgets, with the headless window
// beside it to say what each run should show.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <sstream>
#include <string>

#include "gui/main_window.h"
#include "headless/headless.h"
#include "posix_desktop.h"

namespace sabrota::qttest {

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class QtWindowTest : public ::testing::Test {
  protected:
    void open() {
        window.emplace(desktop.options(&box));
        window->move(0, 0);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*window));
    }
    Form1& form() { return window->form(); }
    QWidget* w(ControlId id, int index = 0) { return window->widgetFor(id, index); }
    QLabel* label(ControlId id, int index = 0) { return qobject_cast<QLabel*>(w(id, index)); }
    QComboBox* combo() { return qobject_cast<QComboBox*>(w(ControlId::Combo1)); }
    QPushButton* button(ControlId id) { return qobject_cast<QPushButton*>(w(id)); }
    QLineEdit* edit(int octet) {
        const ControlId ids[] = {ControlId::Text1, ControlId::Text2, ControlId::Text3,
                                 ControlId::Text4};
        return qobject_cast<QLineEdit*>(w(ids[octet - 1]));
    }

    bool idle() {
        for (const Timer& t : form().timers)
            if (t.armed())
                return false;
        return true;
    }
    // Types the dotted address and picks the mask item of the prefix length by keyboard.
    void enter(const std::string& dotted, int prefix) {
        std::istringstream in(dotted);
        std::string part;
        for (int i = 1; i <= 4; ++i) {
            std::getline(in, part, '.');
            edit(i)->clear();
            QTest::keyClicks(edit(i), qs(part));
        }
        QComboBox* c = combo();
        while (c->currentIndex() < prefix - 8)
            QTest::keyClick(c, Qt::Key_Down);
        while (c->currentIndex() > prefix - 8)
            QTest::keyClick(c, Qt::Key_Up);
    }
    bool waitForRun() {
        return QTest::qWaitFor([&] { return idle(); }, 15000);
    }
    // Enters the run, clicks 計算 and waits for it; the headless window does the same run.
    void calculate(const std::string& dotted, int prefix) {
        enter(dotted, prefix);
        QTest::mouseClick(button(ControlId::CMD1), Qt::LeftButton);
        ASSERT_TRUE(waitForRun());
        reference.calculate(dotted, prefix);
    }

    headless::ScriptedMessageBox box;
    PosixDesktop desktop;
    std::optional<qt::MainWindow> window;
    headless::HeadlessWindow reference;
};

}  // namespace sabrota::qttest
