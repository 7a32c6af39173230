// SPDX-License-Identifier: MIT
// The design table as the one source: what a click runs, what a screen reader calls a control,
// the version the window shows, and how the list box tells a view of its changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/headless.h"
#include "window/design.h"

using namespace sabrota;

namespace {

struct ClickCase {
    ControlId control;
    Click handler;
};

TEST(DesignTable, EachClickableControlNamesItsOwnHandler) {
    const std::vector<ClickCase> cases = {
        {ControlId::CMD1, Click::CMD1_Click},         {ControlId::Command1, Click::Command1_Click},
        {ControlId::Command2, Click::Command2_Click}, {ControlId::Command3, Click::Command3_Click},
        {ControlId::cmdPrint, Click::cmdPrint_Click}, {ControlId::Label70, Click::Label70_Click},
    };
    int clickable = 0;
    for (const auto& d : designTable())
        clickable += d.click != Click::None;
    EXPECT_EQ(clickable, 6);
    for (const auto& c : cases)
        EXPECT_EQ(design(c.control).click, c.handler) << design(c.control).name;
}

TEST(DesignTable, AClickRunsTheHandlerOfTheRow) {
    headless::HeadlessWindow w;
    w.enter("192.168.1.130", 26);
    w->click(design(ControlId::CMD1).click);
    EXPECT_TRUE(w->Timer1.armed());
    w.clock.runUntilIdle();
    EXPECT_TRUE(w->Command3.Enabled);

    w->click(design(ControlId::Command3).click);
    EXPECT_TRUE(w->Timer11.armed());
    w.clock.runUntilIdle();
    EXPECT_EQ(w.files.files.count("ip-file.csv"), 1u);

    w->click(design(ControlId::Command1).click);
    w->click(design(ControlId::Label70).click);
    EXPECT_EQ(w.shell.opened,
              (std::vector<std::string>{"ip-memo.txt", "https://www.example.com/sabrota/"}));

    w->click(design(ControlId::cmdPrint).click);
    EXPECT_EQ(w.printer.pages, 1);

    w->click(design(ControlId::Command2).click);
    EXPECT_EQ(w->Text1.Text, "");
    EXPECT_EQ(w->List1.ListCount(), 0);

    const std::size_t boxes = w.box.shown.size();
    w->click(design(ControlId::Label14).click);
    EXPECT_EQ(w.box.shown.size(), boxes);
    EXPECT_FALSE(w.clock.anyArmed());
}

struct NameCase {
    ControlId control;
    int index;
    std::string name;
};

TEST(DesignTable, AScreenReaderHearsWhatAControlHolds) {
    const std::vector<NameCase> cases = {
        {ControlId::Label13, 0, "IPのアドレスクラス"},
        {ControlId::Label14, 0, "アドレスクラス"},
        {ControlId::Label24, 0, "使用可能なホスト数"},
        {ControlId::Text3, 0, "アドレス第3オクテット"},
        {ControlId::Label65, 0, "アドレス第4オクテット16進"},
        {ControlId::Label12, 0, "サブネットマスク第4オクテット10進"},
        {ControlId::Label47, 0, "ブロードキャストアドレス第4オクテット"},
        {ControlId::Label81, 8, "アドレス第1オクテット ビット8"},
        {ControlId::Label77, 1, "サブネットマスク第4オクテット ビット1"},
        {ControlId::CMD1, 0, "計算"},
        {ControlId::List1, 0, "ネットワークアドレスの一覧"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accessibleName(design(c.control, c.index)), c.name);
    // Every value field has a meaning of its own; captions speak their text.
    for (const auto& d : designTable()) {
        if (d.kind == Kind::Value) {
            EXPECT_FALSE(d.meaning.empty()) << d.name;
        }
        if (d.kind == Kind::Caption) {
            EXPECT_TRUE(d.meaning.empty()) << d.name;
        }
    }
}

TEST(DesignTable, TheVersionCaptionAgreesWithTheProgramsVersion) {
    EXPECT_EQ(productVersion(), "1.03.0003");
    EXPECT_EQ(std::string(design(ControlId::Label55).text), "Sabrota　Ver" + captionVersion());
}

// Writes down what a view would hear.
struct Recorder : ListBoxObserver {
    std::string heard;
    void aboutToReset() override { heard += "["; }
    void reset() override { heard += "]"; }
    void aboutToAppend(int row) override { heard += "+" + std::to_string(row); }
    void appended() override { heard += "."; }
};

TEST(ListBoxObserver, HearsEachChangeBeforeAndAfterItIsMade) {
    ListBox list;
    Recorder r;
    list.setObserver(&r);
    list.AddItem("a");
    list.AddItem("b");
    list.Clear();
    {
        const ListBox::Update update(list);
        list.Clear();
        list.AddItem("c");
        list.AddItem("d");
        EXPECT_EQ(r.heard, "+0.+1.[][");
    }
    EXPECT_EQ(r.heard, "+0.+1.[][]");
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.List(1), "d");
    list.setObserver(nullptr);
    list.AddItem("e");
    EXPECT_EQ(r.heard, "+0.+1.[][]");
}

TEST(ListBoxObserver, AWholeNetworkListIsOneReset) {
    headless::HeadlessWindow w;
    Recorder r;
    w->List1.setObserver(&r);
    w.calculate("10.1.2.3", 24);
    // Calculate empties the list, then the list is filled in one update.
    EXPECT_EQ(r.heard, "[][]");
    EXPECT_EQ(w->List1.ListCount(), 65536);
    w->List1.setObserver(nullptr);
}

}  // namespace
