// SPDX-License-Identifier: MIT
// Pasting into the octet boxes of the real window: a whole address fills all four and picks
// the mask, anything else is pasted as typing, held to three characters.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <array>
#include <optional>
#include <string>

#include "gui/main_window.h"
#include "headless/headless.h"
#include "posix_desktop.h"

using namespace sabrota;

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr std::array<ControlId, 4> kBoxes = {ControlId::Text1, ControlId::Text2, ControlId::Text3,
                                             ControlId::Text4};

// How the user pastes.
enum class Way { Keys, ContextMenu, MiddleButton };

class PasteTest : public ::testing::TestWithParam<Way> {
  protected:
    void SetUp() override {
        window.emplace(desktop.options(&box));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*window));
        if (GetParam() == Way::MiddleButton && !QGuiApplication::clipboard()->supportsSelection())
            GTEST_SKIP() << "this platform has no selection to paste with the middle button";
    }
    QLineEdit* edit(int k) {
        return qobject_cast<QLineEdit*>(window->widgetFor(kBoxes[static_cast<std::size_t>(k)]));
    }
    QComboBox* combo() { return qobject_cast<QComboBox*>(window->widgetFor(ControlId::Combo1)); }
    QStringList boxes() {
        QStringList out;
        for (int k = 0; k < 4; ++k)
            out << edit(k)->text();
        return out;
    }

    void paste(QLineEdit* into, const QString& text) {
        into->setFocus();
        switch (GetParam()) {
            case Way::Keys:
                QGuiApplication::clipboard()->setText(text);
                QTest::keySequence(into, QKeySequence::Paste);
                break;
            case Way::ContextMenu: {
                QGuiApplication::clipboard()->setText(text);
                QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(2, 2),
                                    into->mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(into, &e);
                QMenu* menu = nullptr;
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] {
                        return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()));
                    },
                    5000));
                QAction* action = nullptr;
                for (QAction* a : menu->actions())
                    if (a->text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste"))
                        action = a;
                ASSERT_NE(action, nullptr);
                action->trigger();
                menu->close();
                break;
            }
            case Way::MiddleButton:
                QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
                QTest::mouseClick(into, Qt::MiddleButton, {}, QPoint(2, 2));
                break;
        }
    }

    headless::ScriptedMessageBox box;
    qttest::PosixDesktop desktop;
    std::optional<qt::MainWindow> window;
};

TEST_P(PasteTest, AWholeAddressFillsTheBoxesAndPicksTheMask) {
    const struct {
        QString text;
        int into;
        int maskIndex;  // the combo box's item afterwards
    } cases[] = {
        {"192.168.1.130", 0, 16},
        {"10.1.2.3/26", 2, 18},
        {"172.16.5.4 255.255.255.192", 3, 18},
        {" 192.168.1.130 255.255.0.0\n", 1, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        paste(edit(c.into), c.text);
        const QStringList octets = c.text.trimmed()
                                       .section(QLatin1Char(' '), 0, 0)
                                       .section(QLatin1Char('/'), 0, 0)
                                       .split(QLatin1Char('.'));
        EXPECT_EQ(boxes(), octets);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(window->form().control(kBoxes[static_cast<std::size_t>(k)]).Text,
                      octets[k].toStdString());
        EXPECT_EQ(combo()->currentIndex(), c.maskIndex);
        EXPECT_EQ(combo()->currentText(), qs(maskItems()[static_cast<std::size_t>(c.maskIndex)]));
        EXPECT_EQ(window->form().Combo1.ListIndex(), c.maskIndex);
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_P(PasteTest, AnythingElseIsPastedAsTyping) {
    for (int k = 0; k < 4; ++k)
        QTest::keyClicks(edit(k), "1");
    const struct {
        QString text;
        QString shown;  // in the box pasted into, emptied before
    } cases[] = {
        {"12345", "123"},       {"192.168.1", "192"}, {"192.168.1.300", "192"},
        {"10.1.2.3/32", "10."}, {"7", "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        edit(1)->clear();
        paste(edit(1), c.text);
        EXPECT_EQ(boxes(), QStringList({"1", c.shown, "1", "1"}));
        EXPECT_EQ(window->form().Text2.Text, c.shown.toStdString());
        EXPECT_EQ(combo()->currentIndex(), 16);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, PasteTest,
                         ::testing::Values(Way::Keys, Way::ContextMenu, Way::MiddleButton),
                         [](const ::testing::TestParamInfo<Way>& i) {
                             switch (i.param) {
                                 case Way::Keys:
                                     return std::string("Keys");
                                 case Way::ContextMenu:
                                     return std::string("ContextMenu");
                                 case Way::MiddleButton:
                                     return std::string("MiddleButton");
                             }
                             return std::string("Unknown");
                         });

}  // namespace
