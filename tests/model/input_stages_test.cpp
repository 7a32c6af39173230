// SPDX-License-Identifier: MIT
// The stage chain and the eight input stages, run headless on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/texts.h"

namespace {

using sabrota::CellArray;
using sabrota::Color;
using sabrota::Control;
using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;

using sabrota::test::kMask24;

// Captions of cells 8 down to 1, as the row reads on the window.
std::string bits(const CellArray& cells) {
    std::string s;
    for (int i = 8; i >= 1; --i)
        s += cells(i).Caption.empty() ? "_" : cells(i).Caption;
    return s;
}

// Colours of cells 8 down to 1: R light red, B light blue, C light cyan, F button face.
std::string tints(const CellArray& cells) {
    std::string s;
    for (int i = 8; i >= 1; --i) {
        const Color c = cells(i).BackColor;
        s += c == 0x00C0C0FFu   ? 'R'
             : c == 0x00FFC0C0u ? 'B'
             : c == 0x00FFFFC0u ? 'C'
             : c == 0x8000000Fu ? 'F'
                                : '?';
    }
    return s;
}

void type(HeadlessWindow& w, const std::string& a, const std::string& b, const std::string& c,
          const std::string& d, const std::string& mask) {
    w->Text1.Text = a;
    w->Text2.Text = b;
    w->Text3.Text = c;
    w->Text4.Text = d;
    w->Combo1.typeText(mask);
}

struct Tick {
    int timer;
    long long at;
};

TEST(StageChain, OrderAndSpacing) {
    HeadlessWindow w;
    std::vector<Tick> ticks;
    w.clock.attach([&](int n) {
        ticks.push_back({n, w.clock.now()});
        w->timerTick(n);
    });
    type(w, "192", "168", "1", "130", "255.255.255.192    /26");
    const long long start = w.clock.now();
    w->CMD1_Click();
    EXPECT_TRUE(w.clock.armed(1));
    ASSERT_TRUE(w.clock.runUntilIdle());
    ASSERT_EQ(ticks.size(), 10u);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ticks[i].timer, static_cast<int>(i) + 1);
        EXPECT_EQ(ticks[i].at, start + 30 * static_cast<long long>(i + 1));
    }
    EXPECT_EQ(w.clock.fired, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (int t = 1; t <= 11; ++t) {
        SCOPED_TRACE(t);
        EXPECT_FALSE(w->timers[static_cast<std::size_t>(t - 1)].armed());
        EXPECT_EQ(w->timers[static_cast<std::size_t>(t - 1)].Interval(), t == 11 ? 0 : 30);
    }
    EXPECT_TRUE(w.box.shown.empty());
}

TEST(StageChain, ClasslessRunEndsAtNine) {
    HeadlessWindow w;
    w.calculate("150.1.2.3", 12);
    EXPECT_EQ(w.clock.fired, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(w.clock.anyArmed());
}

enum class Outcome { Accepted, NotNumeric, OutOfRange };

struct OctetCase {
    int stage;  // 1 … 4
    std::string text;
    Outcome outcome;
    std::string hex;   // where accepted
    std::string bits;  // cells 8 … 1 where accepted
};

const Shown kNotNumeric[4] = {
    {"半角の1～223で指定してください。", 48, "第１オクテット：数字ではありません"},
    {"半角の0～255で指定してください。", 48, "第２オクテット：数字ではありません"},
    {"半角の0～255で指定してください。", 48, "第3オクテット：数字ではありません"},
    {"半角の0～255で指定してください。", 48, "第4オクテット：数字ではありません"},
};
const Shown kOutOfRange[4] = {
    {"範囲外です。1～223で指定してください。", 48, "第1オクテット：範囲外！！"},
    {"範囲外です。0～255で指定してください。", 48, "第２オクテット範囲外！！"},
    {"範囲外です。0～255で指定してください。", 48, "第3オクテット範囲外！！"},
    {"範囲外です。0～255で指定してください。", 48, "第4オクテット範囲外！！"},
};

TEST(AddressStages, MessagesHexAndBits) {
    const OctetCase cases[] = {
        {1, "223", Outcome::Accepted, "DF", "11011111"},
        {1, "1", Outcome::Accepted, "01", "00000001"},
        {1, "192", Outcome::Accepted, "C0", "11000000"},
        {1, "224", Outcome::OutOfRange, "", ""},
        {1, "0", Outcome::OutOfRange, "", ""},
        {1, "0.5", Outcome::OutOfRange, "", ""},
        {1, "255", Outcome::OutOfRange, "", ""},
        {1, "-1", Outcome::OutOfRange, "", ""},
        {1, "", Outcome::NotNumeric, "", ""},
        {1, "abc", Outcome::NotNumeric, "", ""},
        {1, "1e5", Outcome::OutOfRange, "", ""},
        {2, "0", Outcome::Accepted, "00", "00000000"},
        {2, "2.5", Outcome::Accepted, "02", "00000010"},
        {2, "3.5", Outcome::Accepted, "04", "00000100"},
        {2, "1e2", Outcome::Accepted, "64", "01100100"},
        {2, "1e3", Outcome::OutOfRange, "", ""},
        {2, "-1", Outcome::OutOfRange, "", ""},
        {2, "256", Outcome::OutOfRange, "", ""},
        {2, "255", Outcome::Accepted, "FF", "11111111"},
        {2, "", Outcome::NotNumeric, "", ""},
        {2, "x", Outcome::NotNumeric, "", ""},
        {3, " 7 ", Outcome::Accepted, "07", "00000111"},
        {3, "", Outcome::NotNumeric, "", ""},
        {3, "1,0", Outcome::NotNumeric, "", ""},
        {3, "999", Outcome::OutOfRange, "", ""},
        {3, "1e5", Outcome::OutOfRange, "", ""},
        {4, "10", Outcome::Accepted, "0A", "00001010"},
        {4, "130", Outcome::Accepted, "82", "10000010"},
        {4, "1e5", Outcome::OutOfRange, "", ""},
        {4, "300", Outcome::OutOfRange, "", ""},
        {4, "", Outcome::NotNumeric, "", ""},
        {4, "0x1", Outcome::NotNumeric, "", ""},
    };
    for (const OctetCase& c : cases) {
        SCOPED_TRACE("stage " + std::to_string(c.stage) + " text \"" + c.text + "\"");
        HeadlessWindow w;
        std::string octets[4] = {"192", "168", "1", "130"};
        octets[c.stage - 1] = c.text;
        type(w, octets[0], octets[1], octets[2], octets[3], kMask24);
        w->CMD1_Click();
        ASSERT_TRUE(w.clock.runUntilIdle());
        Control* hexes[4] = {&w->Label62, &w->Label63, &w->Label64, &w->Label65};
        CellArray* cells[4] = {&w->Label81, &w->Label82, &w->Label83, &w->Label84};
        const int k = c.stage - 1;
        if (c.outcome == Outcome::Accepted) {
            EXPECT_TRUE(w.box.shown.empty());
            EXPECT_EQ(hexes[k]->Caption, c.hex);
            EXPECT_EQ(bits(*cells[k]), c.bits);
            // The address stages give the cells no colour of their own.
            EXPECT_EQ(tints(*cells[k]), "FFFFFFFF");
            EXPECT_EQ(w.clock.fired.back(), 10);
        } else {
            ASSERT_EQ(w.box.shown.size(), 1u);
            EXPECT_EQ(w.box.shown[0],
                      c.outcome == Outcome::NotNumeric ? kNotNumeric[k] : kOutOfRange[k]);
            EXPECT_EQ(w.clock.fired.back(), c.stage);
            EXPECT_EQ(hexes[k]->Caption, "");
            EXPECT_EQ(bits(*cells[k]), "________");
            // The text box keeps what was typed.
            Control* boxes[4] = {&w->Text1, &w->Text2, &w->Text3, &w->Text4};
            EXPECT_EQ(boxes[k]->Text, c.text);
        }
        EXPECT_FALSE(w.clock.anyArmed());
    }
}

struct MaskCase {
    std::string address;
    int prefix;
    std::string decimals;  // Label9 … Label12
    std::string hexes;     // Label66 … Label69
    std::string bits[4];   // Label74 … Label77, cells 8 … 1
    std::string tints[4];
};

TEST(MaskStages, CaptionsAndColours) {
    const std::string ones = "11111111", zeros = "00000000";
    const std::string blue = "BBBBBBBB", red = "RRRRRRRR", cyan = "CCCCCCCC";
    const MaskCase cases[] = {
        {"192.168.1.1",
         24,
         "255.255.255.0",
         "FF.FF.FF.00",
         {ones, ones, ones, zeros},
         {blue, blue, blue, red}},
        {"192.168.1.1",
         26,
         "255.255.255.192",
         "FF.FF.FF.C0",
         {ones, ones, ones, "11000000"},
         {blue, blue, blue, "CCRRRRRR"}},
        {"10.0.0.1",
         16,
         "255.255.0.0",
         "FF.FF.00.00",
         {ones, ones, zeros, zeros},
         {blue, cyan, red, red}},
        {"127.0.0.1",
         16,
         "255.255.0.0",
         "FF.FF.00.00",
         {ones, ones, zeros, zeros},
         {blue, blue, red, red}},
        {"127.0.0.1",
         31,
         "255.255.255.254",
         "FF.FF.FF.FE",
         {ones, ones, ones, "11111110"},
         {blue, blue, blue, "BBBBBBBR"}},
        {"172.16.0.1",
         24,
         "255.255.255.0",
         "FF.FF.FF.00",
         {ones, ones, ones, zeros},
         {blue, blue, cyan, red}},
        {"172.16.0.1",
         8,
         "255.0.0.0",
         "FF.00.00.00",
         {ones, zeros, zeros, zeros},
         {blue, red, red, red}},
        {"10.0.0.1",
         8,
         "255.0.0.0",
         "FF.00.00.00",
         {ones, zeros, zeros, zeros},
         {blue, red, red, red}},
        {"10.0.0.1",
         31,
         "255.255.255.254",
         "FF.FF.FF.FE",
         {ones, ones, ones, "11111110"},
         {blue, cyan, cyan, "CCCCCCCR"}},
        {"150.1.1.1",
         20,
         "255.255.240.0",
         "FF.FF.F0.00",
         {ones, ones, "11110000", zeros},
         {blue, blue, "CCCCRRRR", red}},
        {"191.1.1.1",
         17,
         "255.255.128.0",
         "FF.FF.80.00",
         {ones, ones, "10000000", zeros},
         {blue, blue, "CRRRRRRR", red}},
        {"200.1.1.1",
         30,
         "255.255.255.252",
         "FF.FF.FF.FC",
         {ones, ones, ones, "11111100"},
         {blue, blue, blue, "CCCCCCRR"}},
        {"223.1.1.1",
         9,
         "255.128.0.0",
         "FF.80.00.00",
         {ones, "10000000", zeros, zeros},
         {blue, "BRRRRRRR", red, red}},
        {"126.1.1.1",
         12,
         "255.240.0.0",
         "FF.F0.00.00",
         {ones, "11110000", zeros, zeros},
         {blue, "CCCCRRRR", red, red}},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.address + " /" + std::to_string(c.prefix));
        HeadlessWindow w;
        w.calculate(c.address, c.prefix);
        EXPECT_EQ(w->Label9.Caption + "." + w->Label10.Caption + "." + w->Label11.Caption + "." +
                      w->Label12.Caption,
                  c.decimals);
        EXPECT_EQ(w->Label66.Caption + "." + w->Label67.Caption + "." + w->Label68.Caption + "." +
                      w->Label69.Caption,
                  c.hexes);
        const CellArray* cells[4] = {&w->Label74, &w->Label75, &w->Label76, &w->Label77};
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE("mask octet " + std::to_string(k + 1));
            EXPECT_EQ(bits(*cells[k]), c.bits[k]);
            EXPECT_EQ(tints(*cells[k]), c.tints[k]);
        }
    }
}

// Every field a stage writes, to compare one window against another.
struct Snapshot {
    std::string hex[8];
    std::string decimals[4];
    std::string bits[8];
    std::string tints[8];
};

Snapshot snap(HeadlessWindow& w) {
    Snapshot s;
    Control* hex[8] = {&w->Label62, &w->Label63, &w->Label64, &w->Label65,
                       &w->Label66, &w->Label67, &w->Label68, &w->Label69};
    Control* dec[4] = {&w->Label9, &w->Label10, &w->Label11, &w->Label12};
    CellArray* cells[8] = {&w->Label81, &w->Label82, &w->Label83, &w->Label84,
                           &w->Label74, &w->Label75, &w->Label76, &w->Label77};
    for (int i = 0; i < 8; ++i) {
        s.hex[i] = hex[i]->Caption;
        s.bits[i] = bits(*cells[i]);
        s.tints[i] = tints(*cells[i]);
    }
    for (int i = 0; i < 4; ++i)
        s.decimals[i] = dec[i]->Caption;
    return s;
}

// A second run that stops at stage k shows the stages before k with the new input, empties the
// fields of stage k and after, and leaves their bit cells as the first run drew them. A broken
// mask typed before Calculate stops the first mask stage; the later ones meet one only when
// the text changes while the run is on its way.
TEST(StageChain, StopAtEachStage) {
    const Shown piece[4] = {
        {"サブネットマスクを一覧から選択してください。", 48, "サブネット１：範囲外！！"},
        {"サブネットマスクを一覧から選択してください。", 48, "サブネット２：範囲外！！"},
        {"サブネットマスクを一覧から選択してください。", 48, "サブネット３：範囲外！！"},
        {"サブネットマスクを一覧から選択してください。", 48, "サブネット４：範囲外！！"},
    };
    for (int stage = 1; stage <= 8; ++stage) {
        SCOPED_TRACE("stops at stage " + std::to_string(stage));
        HeadlessWindow first;
        first.calculate("10.20.30.40", 25);
        const Snapshot firstRun = snap(first);
        HeadlessWindow clean;
        clean.calculate("192.168.1.130", 26);
        const Snapshot cleanRun = snap(clean);

        HeadlessWindow w;
        w.calculate("10.20.30.40", 25);
        std::string octets[4] = {"192", "168", "1", "130"};
        std::string mask[4] = {"255", "255", "255", "192"};
        if (stage <= 4)
            octets[stage - 1] = "x";
        else
            mask[stage - 5] = "/x/";
        const std::string maskText = mask[0] + "." + mask[1] + "." + mask[2] + "." + mask[3];
        w.box.shown.clear();
        w.clock.fired.clear();
        if (stage <= 5) {
            w.calculate(octets[0], octets[1], octets[2], octets[3], maskText);
        } else {
            type(w, octets[0], octets[1], octets[2], octets[3], "255.255.255.192");
            w->CMD1_Click();
            w.clock.advance(30 * (stage - 1) + 5);
            ASSERT_TRUE(w.clock.armed(stage));
            w->Combo1.typeText(maskText);
            ASSERT_TRUE(w.clock.runUntilIdle());
        }
        ASSERT_EQ(w.box.shown.size(), 1u);
        EXPECT_EQ(w.box.shown[0], stage <= 4 ? kNotNumeric[stage - 1] : piece[stage - 5]);
        EXPECT_EQ(w.clock.fired.back(), stage);
        EXPECT_FALSE(w.clock.anyArmed());
        const Snapshot now = snap(w);
        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE("octet field " + std::to_string(i + 1));
            const bool done = i + 1 < stage;
            EXPECT_EQ(now.hex[i], done ? cleanRun.hex[i] : "");
            const Snapshot& cellsFrom = done ? cleanRun : firstRun;
            EXPECT_EQ(now.bits[i], cellsFrom.bits[i]);
            EXPECT_EQ(now.tints[i], cellsFrom.tints[i]);
            if (i >= 4) {
                EXPECT_EQ(now.decimals[i - 4], done ? cleanRun.decimals[i - 4] : "");
            }
        }
        EXPECT_EQ(w->Label14.Caption, "");
        EXPECT_EQ(w->List1.ListCount(), 0);
        // The first run had enabled the CSV button; Calculate took it away and the stopped run
        // does not give it back.
        EXPECT_FALSE(w->Command3.Enabled);
    }
}

TEST(StageChain, CalculateTwiceInARow) {
    HeadlessWindow once;
    once.calculate("172.16.5.4", 20);
    HeadlessWindow w;
    w.calculate("10.1.2.3", 24);
    w->Label33.BackColor = 0x00C0FFFFu;
    type(w, "172", "16", "5", "4", w->Combo1.items[12]);
    w->CMD1_Click();
    // Before any stage runs every result field is empty again.
    for (const Control* c : {&w->Label9, &w->Label20, &w->Label31, &w->Label33, &w->Label47,
                             &w->Label62, &w->Label69, &w->Label14, &w->Label46, &w->Label17})
        EXPECT_EQ(c->Caption, "");
    EXPECT_EQ(w->Label33.BackColor, 0x8000000Fu);
    EXPECT_EQ(w->List1.ListCount(), 0);
    EXPECT_FALSE(w->Command3.Enabled);
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_TRUE(w->Command3.Enabled);
    EXPECT_EQ(w->List1.entries(), once->List1.entries());
    EXPECT_EQ(w->Label31.Caption, "16");
    EXPECT_EQ(snap(w).hex[3], "04");
}

TEST(StageChain, ArmedTwiceRunsOnce) {
    HeadlessWindow w;
    type(w, "192", "168", "1", "130", kMask24);
    w->CMD1_Click();
    w.clock.advance(10);
    w->CMD1_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_EQ(w.clock.fired, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(w->List1.entries(), std::vector<std::string>{"192.168.1.0"});
}

// Calculate again while the first run is at its address stages: both chains go on side by
// side, and the window ends as one clean run leaves it.
TEST(StageChain, CalculateDuringRunInterleaves) {
    HeadlessWindow clean;
    clean.calculate("192.168.1.130", 26);
    HeadlessWindow w;
    type(w, "192", "168", "1", "130", "255.255.255.192    /26");
    w->CMD1_Click();
    w.clock.advance(100);  // Timer1 … Timer3 have run, Timer4 is due at 120
    EXPECT_EQ(w.clock.fired, (std::vector<int>{1, 2, 3}));
    w->CMD1_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_EQ(w.clock.fired,
              (std::vector<int>{1, 2, 3, 4, 1, 5, 2, 6, 3, 7, 4, 8, 5, 9, 6, 10, 7, 8, 9, 10}));
    EXPECT_TRUE(w.box.shown.empty());
    EXPECT_EQ(w->List1.entries(), clean->List1.entries());
    EXPECT_EQ(w->List1.ListIndex, 2);
    EXPECT_EQ(w->Label31.Caption, "4");
    EXPECT_EQ(w->Label24.Caption, "62");
}

// Calculate again after the mask stages of the first run: its classification finds the mask
// fields emptied and ends that run with a box; the second run still completes.
TEST(StageChain, CalculateDuringAnalysis) {
    HeadlessWindow clean;
    clean.calculate("192.168.1.130", 26);
    HeadlessWindow w;
    type(w, "192", "168", "1", "130", "255.255.255.192    /26");
    w->CMD1_Click();
    w.clock.advance(250);  // Timer8 has run, Timer9 is due at 270
    w->CMD1_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    // The first run finds its mask emptied by the second Calculate and ends without a word.
    EXPECT_TRUE(w.box.shown.empty());
    EXPECT_EQ(w->List1.entries(), clean->List1.entries());
    EXPECT_EQ(snap(w).tints[7], snap(clean).tints[7]);
}

// While a stage's box is open the desktop goes on ticking; the stage must not run inside itself.
TEST(StageChain, NoReentryWhileBoxOpen) {
    struct Case {
        std::string address;
        int prefix;
        int stage;
    };
    const Case cases[] = {
        {"x.1.1.1", 24, 1},   {"1.1.x.1", 24, 3},   {"127.0.0.1", 24, 9},
        {"150.1.2.3", 12, 9}, {"200.1.2.3", 20, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        HeadlessWindow w;
        int nested = 0;
        w.box.whileOpen = [&](const Shown&) {
            if (nested++ == 0)
                w.clock.advance(500);
        };
        w.calculate(c.address, c.prefix);
        EXPECT_EQ(w.box.shown.size(), 1u);
        EXPECT_FALSE(w.clock.anyArmed());
        EXPECT_FALSE(w->stageRunning(c.stage));
        // The ticks that came while the box was open were let go.
        int ticksOfStage = 0;
        for (int n : w.clock.fired)
            ticksOfStage += n == c.stage;
        EXPECT_GT(ticksOfStage, 1);
    }
}

TEST(StageChain, ClearWhileTimer3Armed) {
    HeadlessWindow w;
    type(w, "192", "168", "1", "130", kMask24);
    w->CMD1_Click();
    w.clock.advance(65);
    ASSERT_TRUE(w.clock.armed(3));
    w->Command2_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    ASSERT_EQ(w.box.shown.size(), 1u);
    EXPECT_EQ(w.box.shown[0], kNotNumeric[2]);
    EXPECT_EQ(w.clock.fired, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(w->Label62.Caption, "");
    EXPECT_EQ(w->Combo1.Text, kMask24);
}

TEST(MaskStages, TypedTexts) {
    const std::string badPiece = "サブネットマスクを一覧から選択してください。";
    struct Case {
        std::string text;
        std::vector<Shown> boxes;
        std::string decimals;  // Label9 … Label12 joined by "."
    };
    const Case cases[] = {
        // A text that is no plain dotted mask stops the first mask stage, whichever piece fails.
        {"255.255.0.0", {{badPiece, 48, "サブネット１：範囲外！！"}}, "..."},
        {"999.0.0.0", {{badPiece, 48, "サブネット１：範囲外！！"}}, "..."},
        {"abc", {{badPiece, 48, "サブネット１：範囲外！！"}}, "..."},
        {"255.", {{badPiece, 48, "サブネット１：範囲外！！"}}, "..."},
        {"255.255.-1.0", {{badPiece, 48, "サブネット１：範囲外！！"}}, "..."},
        {"", {{"サブネットを指定してください。", 48, "サブネット１：選択してください"}}, "..."},
        {"255.255.255.0", {}, "255.255.255.0"},
        {"255.255.255.128 /25", {}, "255.255.255.128"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        HeadlessWindow w;
        w.calculate("192", "168", "1", "1", c.text);
        EXPECT_EQ(w.box.shown, c.boxes);
        EXPECT_EQ(w->Label9.Caption + "." + w->Label10.Caption + "." + w->Label11.Caption + "." +
                      w->Label12.Caption,
                  c.decimals);
        EXPECT_FALSE(w.clock.anyArmed());
        if (c.boxes.empty()) {
            EXPECT_EQ(w->Label20.Caption, c.decimals == "255.255.255.0" ? "256" : "128");
            EXPECT_EQ(w->Label31.Caption, c.decimals == "255.255.255.0" ? "1" : "2");
        } else {
            EXPECT_EQ(w->Label14.Caption, "");
        }
    }
}

TEST(MaskStages, EmptiedDuringRun) {
    const std::string titles[3] = {"サブネット２：選択してください",
                                   "サブネット３：選択してください",
                                   "サブネット４：選択してください"};
    for (int stage = 6; stage <= 8; ++stage) {
        SCOPED_TRACE(stage);
        HeadlessWindow w;
        type(w, "10", "1", "2", "3", kMask24);
        w->CMD1_Click();
        w.clock.advance(30 * (stage - 1) + 5);
        w->Combo1.typeText("");
        ASSERT_TRUE(w.clock.runUntilIdle());
        ASSERT_EQ(w.box.shown.size(), 1u);
        EXPECT_EQ(w.box.shown[0], (Shown{"サブネットを指定してください。", 48, titles[stage - 6]}));
        Control* dec[4] = {&w->Label9, &w->Label10, &w->Label11, &w->Label12};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(dec[k]->Caption.empty(), k + 5 >= stage);
        EXPECT_EQ(w.clock.fired.back(), stage);
    }
}

// Text1 made non-numeric while the mask stages run: no light cyan, and the classification stops
// the run with the first octet's own box.
TEST(MaskStages, FirstOctetChangedDuringRun) {
    HeadlessWindow w;
    type(w, "10", "1", "2", "3", "255.255.255.192    /26");
    w->CMD1_Click();
    w.clock.advance(155);
    w->Text1.Text = "abc";
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_EQ(tints(w->Label75), "BBBBBBBB");
    EXPECT_EQ(tints(w->Label76), "BBBBBBBB");
    EXPECT_EQ(tints(w->Label77), "BBRRRRRR");
    EXPECT_EQ(w->Label12.Caption, "192");
    EXPECT_EQ(w.box.shown, std::vector<Shown>{kNotNumeric[0]});
    EXPECT_EQ(w->Label14.Caption, "");
    EXPECT_FALSE(w->Command3.Enabled);
}

}  // namespace
