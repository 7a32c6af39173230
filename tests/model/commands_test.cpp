// SPDX-License-Identifier: MIT
// Start-up, Clear, and the memo, print and home-page commands on the window model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/texts.h"

namespace {

using sabrota::CellArray;
using sabrota::Control;
using sabrota::Form1;
using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;

using sabrota::test::kMask24;

std::vector<CellArray*> cellArrays(Form1& f) {
    return {&f.Label81, &f.Label82, &f.Label83, &f.Label84,
            &f.Label74, &f.Label75, &f.Label76, &f.Label77};
}

std::vector<Control*> valueFields(Form1& f) {
    return {&f.Label9,  &f.Label10, &f.Label11, &f.Label12, &f.Label14, &f.Label15, &f.Label16,
            &f.Label17, &f.Label18, &f.Label46, &f.Label20, &f.Label24, &f.Label27, &f.Label29,
            &f.Label31, &f.Label33, &f.Label35, &f.Label37, &f.Label39, &f.Label41, &f.Label43,
            &f.Label45, &f.Label47, &f.Label21, &f.Label53, &f.Label58, &f.Label59, &f.Label60,
            &f.Label61, &f.Label62, &f.Label63, &f.Label64, &f.Label65, &f.Label66, &f.Label67,
            &f.Label68, &f.Label69};
}

std::vector<Control*> buttons(Form1& f) {
    return {&f.CMD1, &f.Command1, &f.Command2, &f.Command3, &f.cmdPrint};
}

TEST(StartUp, State) {
    HeadlessWindow w;
    Form1& f = *w;
    for (Control* t : {&f.Text1, &f.Text2, &f.Text3, &f.Text4})
        EXPECT_EQ(t->Text, "");
    for (Control* c : valueFields(f))
        EXPECT_EQ(c->Caption, "");
    for (CellArray* a : cellArrays(f))
        for (int i = 1; i <= 8; ++i)
            EXPECT_EQ((*a)(i).Caption, "");
    EXPECT_EQ(f.Combo1.ListIndex(), 16);
    EXPECT_EQ(f.Combo1.Text, kMask24);
    EXPECT_EQ(f.Combo1.items.size(), 24u);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_FALSE(f.Command3.Enabled);
    for (Control* b : {&f.CMD1, &f.Command1, &f.Command2, &f.cmdPrint})
        EXPECT_TRUE(b->Enabled);
    for (Control* b : buttons(f))
        EXPECT_TRUE(b->Visible);
    EXPECT_EQ(w.folder.calls, 1);
    EXPECT_FALSE(w.clock.anyArmed());
    for (const auto& t : f.timers)
        EXPECT_EQ(t.Interval(), 0);
    w.clock.advance(1000);
    EXPECT_TRUE(w.clock.fired.empty());
    EXPECT_TRUE(w.box.shown.empty());
    EXPECT_TRUE(w.shell.opened.empty());
}

TEST(Clear, AfterCompleteRun) {
    HeadlessWindow w;
    Form1& f = *w;
    const std::vector<std::string> items = f.Combo1.items;
    w.calculate("192.168.1.0", 26);  // coincides with its network: highlighted labels
    ASSERT_EQ(f.Label33.BackColor, 0x00C0FFFFu);
    ASSERT_TRUE(f.Command3.Enabled);
    f.Text4.BackColor = 0x00C0C0FFu;
    f.Command2_Click();
    for (Control* t : {&f.Text1, &f.Text2, &f.Text3, &f.Text4})
        EXPECT_EQ(t->Text, "");
    for (CellArray* a : cellArrays(f)) {
        for (int i = 1; i <= 8; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ((*a)(i).Caption, "");
            EXPECT_EQ((*a)(i).BackColor, 0x8000000Fu);
        }
    }
    for (Control* c : valueFields(f))
        EXPECT_EQ(c->Caption, "");
    for (Control* c : {&f.Label33, &f.Label35, &f.Label37, &f.Label39, &f.Label41, &f.Label43,
                       &f.Label45, &f.Label47})
        EXPECT_EQ(c->BackColor, 0x8000000Fu);
    EXPECT_EQ(f.Text4.BackColor, 0x80000005u);
    EXPECT_EQ(f.Combo1.ListIndex(), 16);
    EXPECT_EQ(f.Combo1.Text, kMask24);
    EXPECT_EQ(f.Combo1.items, items);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.List1.ListIndex, -1);
    EXPECT_FALSE(f.Command3.Enabled);
    EXPECT_FALSE(w.clock.anyArmed());
}

TEST(Clear, ThenCalculateStopsAtFirstOctet) {
    HeadlessWindow w;
    w.calculate("10.1.2.3", 16);
    w->Combo1.typeText("255.255.255.0");
    w->Command2_Click();
    w.box.shown.clear();
    w.clock.fired.clear();
    w->CMD1_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_EQ(w.box.shown, (std::vector<Shown>{{"半角の1～223で指定してください。", 48,
                                                "第１オクテット：数字ではありません"}}));
    EXPECT_EQ(w.clock.fired, std::vector<int>{1});
    EXPECT_EQ(w->Combo1.Text, kMask24);
    EXPECT_FALSE(w->Command3.Enabled);
}

TEST(SideCommands, MemoAndLink) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    const auto list = w->List1.entries();
    w->Command1_Click();
    EXPECT_EQ(w.shell.opened, std::vector<std::string>{"ip-memo.txt"});
    w->Label70_Click();
    EXPECT_EQ(w.shell.opened,
              (std::vector<std::string>{"ip-memo.txt", std::string(sabrota::homePage())}));
    EXPECT_EQ(w->Label70.Caption, sabrota::homePage());
    // Nothing else moves: no box, no timer, no result.
    EXPECT_TRUE(w.box.shown.empty());
    EXPECT_FALSE(w.clock.anyArmed());
    EXPECT_EQ(w->List1.entries(), list);
    EXPECT_EQ(w->Label20.Caption, "64");
}

// Between two stages of a run the memo opens and the run goes on untouched.
TEST(SideCommands, MemoDuringRun) {
    HeadlessWindow w;
    w->Text1.Text = "192";
    w->Text2.Text = "168";
    w->Text3.Text = "1";
    w->Text4.Text = "130";
    w->CMD1_Click();
    w.clock.advance(100);
    w->Command1_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_EQ(w.shell.opened.size(), 1u);
    EXPECT_EQ(w->List1.ListCount(), 1);
}

TEST(SideCommands, PrintHidesButtons) {
    struct Case {
        bool runFirst;  // a run has enabled Command3
        bool printerWorks;
    };
    const Case cases[] = {{false, true}, {true, true}, {false, false}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.runFirst ? "CSV on" : "CSV off") +
                     (c.printerWorks ? ", printed" : ", printer fails"));
        HeadlessWindow w;
        if (c.runFirst)
            w.calculate("192.168.1.130", 26);
        w.printer.succeeds = c.printerWorks;
        std::vector<bool> visibleWhilePrinting;
        bool csvWhilePrinting = !c.runFirst;
        w.printer.whilePrinting = [&] {
            for (Control* b : buttons(*w))
                visibleWhilePrinting.push_back(b->Visible);
            csvWhilePrinting = w->Command3.Enabled;
        };
        w->cmdPrint_Click();
        EXPECT_EQ(visibleWhilePrinting, std::vector<bool>(5, false));
        EXPECT_EQ(csvWhilePrinting, c.runFirst);
        for (Control* b : buttons(*w))
            EXPECT_TRUE(b->Visible);
        EXPECT_EQ(w->Command3.Enabled, c.runFirst);
        EXPECT_EQ(w.printer.pages, c.printerWorks ? 1 : 0);
        if (c.printerWorks) {
            EXPECT_TRUE(w.box.shown.empty());
        } else {
            EXPECT_EQ(w.box.shown,
                      (std::vector<Shown>{{"印刷できませんでした。プリンターを確認してください。",
                                           48, "Sabrota"}}));
        }
        // Printing leaves the other controls alone.
        EXPECT_TRUE(w->Label20.Visible);
        EXPECT_TRUE(w->List1.Visible);
    }
}

// While the failure box is open the buttons are already back.
TEST(SideCommands, ButtonsBackBeforeFailureBox) {
    HeadlessWindow w;
    w.printer.succeeds = false;
    int visible = 0;
    w.box.whileOpen = [&](const Shown&) {
        for (Control* b : buttons(*w))
            visible += b->Visible;
    };
    w->cmdPrint_Click();
    EXPECT_EQ(visible, 5);
}

}  // namespace
