// SPDX-License-Identifier: MIT
// Which texts typed into Combo1 a run takes as its mask. A text is one of the list's items, or a
// plain dotted mask: pieces at characters 1-3, 5-7, 9-11 and 13-15 (the last may be cut short
// by the end of the text), "." at 4, 8 and 12, then only blanks and a "/n" that agrees.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "platform/ansi_text_writer.h"
#include "support/golden_file.h"

namespace {

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;
using sabrota::platform::AnsiTextWriter;

const std::string kBadPiece = "サブネットマスクを一覧から選択してください。";
const Shown kRefusedAtFirstStage{kBadPiece, 48, "サブネット１：範囲外！！"};
const Shown kWrongMask{"サブネットマスクが正しくありません。一覧から選択してください。", 48,
                       "サブネットマスク：不正！！"};

std::string dotted(std::uint32_t m) {
    return std::to_string(m >> 24) + "." + std::to_string((m >> 16) & 255) + "." +
           std::to_string((m >> 8) & 255) + "." + std::to_string(m & 255);
}

std::string maskShown(HeadlessWindow& w) {
    return w->Label9.Caption + "." + w->Label10.Caption + "." + w->Label11.Caption + "." +
           w->Label12.Caption;
}

// Runs the text on a class A address (every mask of the list is classful there) and, when the
// run ends well, exports it.
struct Outcome {
    std::vector<Shown> boxes;
    int lastStage;
    std::string mask;
    bool exportable;
    std::string maskLine;  // line 6 of the file, if one was written
};

Outcome run(const std::string& text) {
    HeadlessWindow w;
    w.calculate("10", "1", "2", "3", text);
    Outcome o{w.box.shown, w.clock.fired.back(), maskShown(w), w->Command3.Enabled, {}};
    w->Command3_Click();
    w.clock.runUntilIdle();
    if (w.files.files.count("ip-file.csv"))
        o.maskLine = golden::lines(w.files.files.at("ip-file.csv"))[5];
    return o;
}

std::string maskLine(const std::string& text) {
    return AnsiTextWriter::encode("選択サブネットマスク,") + text;
}

TEST(TypedMask, EveryItemOfTheList) {
    HeadlessWindow items;
    for (int prefix = 8; prefix <= 31; ++prefix) {
        const std::string& item = items->Combo1.items[static_cast<std::size_t>(prefix - 8)];
        SCOPED_TRACE(item);
        const Outcome o = run(item);
        EXPECT_TRUE(o.boxes.empty() || o.boxes.back().style == 0);  // only the export's box
        EXPECT_EQ(o.mask, dotted(0xFFFFFFFFu << (32 - prefix)));
        EXPECT_TRUE(o.exportable);
        EXPECT_EQ(o.maskLine, maskLine(item));
    }
}

TEST(TypedMask, PlainDottedMasksRun) {
    struct Case {
        std::string text;
        std::string mask;
    };
    const Case cases[] = {
        {"255.255.255.0", "255.255.255.0"},  // the last piece is the one character left
        {"255.255.255.0 ", "255.255.255.0"},
        {"255.255.255.00", "255.255.255.0"},
        {"255.255.255.000", "255.255.255.0"},
        {"255.255.255.000    ", "255.255.255.0"},
        {"255.255.255.000/24", "255.255.255.0"},
        {"255.255.255.000 /24", "255.255.255.0"},
        {"255.255.255.000    /24   ", "255.255.255.0"},
        {"255.255.255.0   /24", "255.255.255.0"},  // the piece "0  ", then " /24"
        {"255.255.255.128 /25", "255.255.255.128"},
        {"255.255.240.000/20", "255.255.240.0"},
        {"255.000.000.000    /8", "255.0.0.0"},
        // Pieces are read as the stages read numbers: blanks, a sign, a fraction.
        {"255.255.255.  0", "255.255.255.0"},
        {"255.255.255.+0", "255.255.255.0"},
        {"255.255.255.0.0", "255.255.255.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        const Outcome o = run(c.text);
        EXPECT_EQ(o.mask, c.mask);
        EXPECT_TRUE(o.exportable);
        EXPECT_EQ(o.maskLine, maskLine(c.text));
        for (const Shown& b : o.boxes)
            EXPECT_EQ(b.style, 0) << b.prompt;  // no box of the stages
    }
}

// Well formed, but no mask of the list: the classification stage keeps its own box for these.
TEST(TypedMask, WellFormedButNoMaskOfTheList) {
    for (const std::string text :
         {"255.000.255.000", "255.255.255.001", "255.255.255.100", "255.255.255.1e2",
          "255.255.255.255    /32", "000.000.000.000/0"}) {
        SCOPED_TRACE("\"" + text + "\"");
        const Outcome o = run(text);
        EXPECT_EQ(o.boxes, std::vector<Shown>{kWrongMask});
        EXPECT_EQ(o.lastStage, 9);
        EXPECT_FALSE(o.exportable);
        EXPECT_EQ(o.maskLine, "");
    }
}

TEST(TypedMask, RefusedAtTheFirstMaskStage) {
    const std::string refused[] = {
        "255.255.255.128garbage",
        "255,255,255,0",
        "255.255.255,0",    // only the third dot is wrong: a comma would reach the file
        "255.255.255.256",  // the fourth piece is no octet
        "255,255,255,000,=HYPERLINK(\"http://x.invalid/\",\"y\"),\"a",
        "255.255.255.000 /25",  // the suffix disagrees with the pieces
        "255.255.255.000    /23",
        "255.000.255.000    /16",  // no prefix length agrees with a mask that is not contiguous
        "255.255.255.000    /24x",
        "255.255.255.000    /024",
        "255.255.255.000    /",
        "255.255.255.000    / 24",
        "255.255.255.000    /33",
        "255.255.255.000    //24",
        "255.255.255.000\t/24",
        "255.255.255.\t0",  // the stages would read the tab as a blank
        "255.255.255.0\t",
        "255.255.255.000\r\n",
        "255.255.255.000    /24\x01",
        "255.255.255.000\x7f",
        "２５５.２５５.２５５.０００",
        "255．255．255．000",
        "255.255.255.000\u3000\u3000\u3000\u3000/24",
        "255.255.255.000    ／24",
        "255.255.255.000    /24 한😀",
        "255.255.255.0/24",   // the last piece is "0/2"
        "255.255.255.0 /24",  // the last piece is "0 /"
        "255.255.0.0",
        "255.0.255.0",
        "255.255.255.",
        "255.255.255",
        "255.",
        "abc",
        "999.0.0.0",
        "256.255.255.0",
        "255.255.-1.0",
        " 255.255.255.0",
        "255.255.255.000;",
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE("\"" + text + "\"");
        HeadlessWindow w;
        w.calculate("10.1.2.3", 16);
        const std::string first = w.exportCsv();
        w.box.shown.clear();
        w.clock.fired.clear();
        w.calculate("10", "1", "2", "3", text);
        EXPECT_EQ(w.box.shown, std::vector<Shown>{kRefusedAtFirstStage});
        EXPECT_EQ(w.clock.fired.back(), 5);
        EXPECT_EQ(maskShown(w), "...");
        EXPECT_FALSE(w->Command3.Enabled);
        // Not even a click the desktop delivered anyway puts the text into the file.
        w->Command3_Click();
        w.clock.runUntilIdle();
        EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
    }
}

TEST(TypedMask, EmptyTextKeepsItsOwnBox) {
    const Outcome o = run("");
    EXPECT_EQ(o.boxes, (std::vector<Shown>{{"サブネットを指定してください。", 48,
                                            "サブネット１：選択してください"}}));
    EXPECT_EQ(o.lastStage, 5);
    EXPECT_FALSE(o.exportable);
}

// The later mask stages read Combo1 again; a text typed in the meantime must pass the same rule,
// and the stage that meets it stops the run with its own title.
TEST(TypedMask, RuleHoldsForTheLaterStages) {
    const std::string titles[] = {"サブネット２：範囲外！！", "サブネット３：範囲外！！",
                                  "サブネット４：範囲外！！"};
    for (int stage = 6; stage <= 8; ++stage) {
        SCOPED_TRACE(stage);
        HeadlessWindow w;
        w.enter("192.168.1.130", 26);
        w->CMD1_Click();
        w.clock.advance(30 * (stage - 1) + 5);
        ASSERT_TRUE(w.clock.armed(stage));
        w->Combo1.typeText("255.255.255.192garbage");
        ASSERT_TRUE(w.clock.runUntilIdle());
        EXPECT_EQ(w.box.shown, (std::vector<Shown>{{kBadPiece, 48, titles[stage - 6]}}));
        EXPECT_EQ(w.clock.fired.back(), stage);
        EXPECT_FALSE(w->Command3.Enabled);
    }
}

}  // namespace
