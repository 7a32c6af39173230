// SPDX-License-Identifier: MIT
// The binding every front end shares, driven by a view that records what it is told to draw.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/binder.h"
#include "headless/headless.h"

namespace sabrota {
namespace {

struct RecordingView : frontend::View {
    struct Drawn {
        std::string caption, text;
        Color back = 0;
        bool enabled = true, visible = true;
        int times = 0;
    };
    void showControl(const ControlDesign& d, const Control& now, unsigned changes) override {
        Drawn& w = drawn[{d.id, d.index}];
        ++w.times;
        if (changes & frontend::kCaption)
            w.caption = now.Caption;
        if (changes & frontend::kText)
            w.text = now.Text;
        if (changes & frontend::kColors)
            w.back = now.BackColor;
        if (changes & frontend::kEnabled)
            w.enabled = now.Enabled;
        if (changes & frontend::kVisible)
            w.visible = now.Visible;
    }
    void showMaskIndex(int index) override { maskIndex = index; }
    void showListIndex(int index) override { listIndices.push_back(index); }
    void reportFault(std::string_view what) override { faults.emplace_back(what); }

    std::map<std::pair<ControlId, int>, Drawn> drawn;
    int maskIndex = -2;
    std::vector<int> listIndices;
    std::vector<std::string> faults;
};

class BinderTest : public ::testing::Test {
  protected:
    BinderTest() : binder(view, {box, clock, files, shell, printer, folder}) {
        clock.attach([this](int n) { binder.ticked(n); });
        binder.start();
    }
    RecordingView::Drawn& drawn(ControlId id, int index = 0) { return view.drawn[{id, index}]; }
    // The user types into a box: the widget shows it at once, then the model hears of it.
    void type(ControlId id, const std::string& text) {
        drawn(id).text = text;
        binder.typed(id, text);
    }
    // What a front end's widgets show must be what the model holds, control by control.
    void expectTheViewShowsTheModel() {
        for (const auto& d : designTable()) {
            const Control& c = binder.form().control(d.id, d.index);
            const RecordingView::Drawn& w = view.drawn[{d.id, d.index}];
            EXPECT_EQ(w.caption, c.Caption) << d.name << "(" << d.index << ")";
            EXPECT_EQ(w.text, c.Text) << d.name;
            EXPECT_EQ(w.back, c.BackColor) << d.name << "(" << d.index << ")";
            EXPECT_EQ(w.enabled, c.Enabled) << d.name;
            EXPECT_EQ(w.visible, c.Visible) << d.name;
        }
        EXPECT_EQ(view.maskIndex, binder.form().Combo1.ListIndex());
    }

    RecordingView view;
    headless::VirtualClock clock;
    headless::ScriptedMessageBox box;
    headless::MemoryFileStore files;
    headless::RecordingShell shell;
    headless::RecordingPrinter printer;
    headless::StayingFolder folder;
    frontend::Binder binder;
};

TEST_F(BinderTest, AWholeRunTypedAndClickedEndsWithTheViewShowingTheModel) {
    expectTheViewShowsTheModel();
    for (auto [id, text] : {std::pair{ControlId::Text1, "192"},
                            {ControlId::Text2, "168"},
                            {ControlId::Text3, "1"},
                            {ControlId::Text4, "130"}})
        type(id, text);
    binder.maskChosen(26 - 8);
    binder.clicked(Click::CMD1_Click);
    ASSERT_TRUE(clock.runUntilIdle());
    expectTheViewShowsTheModel();
    EXPECT_EQ(drawn(ControlId::Label14).caption, "C");
    // The own network, selected once the list is filled.
    ASSERT_FALSE(view.listIndices.empty());
    EXPECT_EQ(view.listIndices.back(), 2);
}

TEST_F(BinderTest, TypingIsNotDrawnBackOntoTheBoxItCameFrom) {
    const int before = drawn(ControlId::Text1).times;
    binder.typed(ControlId::Text1, "10");
    EXPECT_EQ(binder.form().Text1.Text, "10");
    EXPECT_EQ(drawn(ControlId::Text1).times, before);
    const int maskBefore = drawn(ControlId::Combo1).times;
    binder.maskTyped("255.255.255.000 /24");
    EXPECT_EQ(drawn(ControlId::Combo1).times, maskBefore);
}

TEST_F(BinderTest, TheWindowBehindABoxShowsHowFarTheRunGot) {
    type(ControlId::Text1, "192");
    type(ControlId::Text2, "999");
    std::string behind;
    box.whileOpen = [&](const headless::Shown&) { behind = drawn(ControlId::Label62).caption; };
    binder.clicked(Click::CMD1_Click);
    ASSERT_TRUE(clock.runUntilIdle());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(behind, "C0");  // the first octet's hexadecimal, drawn before the second's box
}

TEST_F(BinderTest, APrintShowsTheButtonsHidden) {
    bool buttonsHidden = false;
    printer.whilePrinting = [&] { buttonsHidden = !drawn(ControlId::CMD1).visible; };
    binder.clicked(Click::cmdPrint_Click);
    EXPECT_TRUE(buttonsHidden);
    EXPECT_TRUE(drawn(ControlId::CMD1).visible);
}

TEST_F(BinderTest, AFaultEndsTheEventOnlyAndWhatItChangedIsStillDrawn) {
    EXPECT_FALSE(binder.dispatch([&] {
        binder.form().Label14.Caption = "X";
        throw std::runtime_error("lost");
    }));
    EXPECT_EQ(view.faults, std::vector<std::string>{"lost"});
    EXPECT_EQ(drawn(ControlId::Label14).caption, "X");
    EXPECT_TRUE(binder.dispatch([] {}));
}

}  // namespace
}  // namespace sabrota
