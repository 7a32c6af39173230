// The export describes one run: the run whose results the window shows, with the address and
// the mask as that run read them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/golden_file.h"

namespace {

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;

const Shown kSuccess{"新しいファイルを作成しました。ip-file.csv", 0, "Sabrota"};

// A user can only press the button while it is enabled.
bool pressExportIfEnabled(HeadlessWindow& w) {
    if (!w->Command3.Enabled)
        return false;
    w->Command3_Click();
    return true;
}

// Lets the export's tick come and checks the file it wrote against a golden file, and the one
// box of success.
void expectExportedAs(HeadlessWindow& w, const char* golden) {
    w.clock.runUntilIdle();
    const std::string diff =
        golden::firstDifference(golden::read(golden), w.files.files["ip-file.csv"]);
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_EQ(w.box.shown, std::vector<Shown>{kSuccess});
}

std::string cleanExport(const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d, int prefix) {
    HeadlessWindow w;
    w.calculate(a, b, c, d, w->Combo1.items[static_cast<std::size_t>(prefix - 8)]);
    return w.exportCsv();
}

// 192.168.1.130 with /26 has run; then the user types 5 into Text4 and the /24 item into the
// mask, and exports without pressing Calculate.
TEST(ExportRun, InputEditedAfterTheRun) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w->Text4.Text = "5";
    w->Combo1.typeText("255.255.255.000    /24");
    ASSERT_TRUE(pressExportIfEnabled(w));
    expectExportedAs(w, "csv_c_26.csv");
}

// 172.16.5.9 with /30 has run; Text4 becomes 200, Calculate, and at once CSV出力.
TEST(ExportRun, ExportRightAfterCalculate) {
    HeadlessWindow w;
    w.calculate("172.16.5.9", 30);
    ASSERT_TRUE(w->Command3.Enabled);
    w->Text4.Text = "200";
    w->CMD1_Click();
    EXPECT_FALSE(w->Command3.Enabled);
    pressExportIfEnabled(w);
    w.clock.advance(30);
    EXPECT_EQ(w.files.writes, 0);

    // The button comes back with the end of the new run, and the file is that run's.
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_TRUE(w.box.shown.empty());
    ASSERT_TRUE(pressExportIfEnabled(w));
    expectExportedAs(w, "csv_b_30_200.csv");
}

// A click that came just before Calculate: its tick finds the results gone and writes nothing.
TEST(ExportRun, ClickOnItsWayWhenCalculateIsPressed) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    const std::string first = w.exportCsv();
    w.calculate("172.16.5.9", 30);
    w.box.shown.clear();
    ASSERT_TRUE(pressExportIfEnabled(w));
    w.clock.advance(10);
    w->Text4.Text = "200";
    w->CMD1_Click();
    w.clock.advance(25);
    EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
    EXPECT_TRUE(w.box.shown.empty());
    EXPECT_FALSE(w->Timer11.armed());
    ASSERT_TRUE(w.clock.runUntilIdle());
    EXPECT_TRUE(w->Command3.Enabled);
}

// A run that stops on the way leaves the button off, even after a run that had enabled it.
TEST(ExportRun, FailedRunLeavesTheButtonDisabled) {
    struct Case {
        const char* what;
        std::string a, b, c, d, mask;
        std::function<void(HeadlessWindow&)> duringRun;  // after 285 ms: Timer9 has run
        int lastStage;
    };
    const std::string mask26 = "255.255.255.192    /26";
    const Case cases[] = {
        {"octet 1 not a number", "x", "168", "1", "130", mask26, nullptr, 1},
        {"octet 4 out of range", "192", "168", "1", "300", mask26, nullptr, 4},
        {"mask with commas", "192", "168", "1", "130", "255,255,255,0", nullptr, 5},
        {"mask not contiguous", "192", "168", "1", "130", "255.255.255.100", nullptr, 9},
        {"loopback", "127", "0", "0", "1", mask26, nullptr, 9},
        {"Text4 spoilt before the list", "192", "168", "1", "130", mask26,
         [](HeadlessWindow& w) { w->Text4.Text = "x"; }, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessWindow w;
        w.calculate("192.168.1.10", 28);
        const std::string first = w.exportCsv();
        w.calculate("192.168.1.130", 26);
        ASSERT_TRUE(w->Command3.Enabled);
        w->Text1.Text = c.a;
        w->Text2.Text = c.b;
        w->Text3.Text = c.c;
        w->Text4.Text = c.d;
        w->Combo1.typeText(c.mask);
        w.clock.fired.clear();
        w->CMD1_Click();
        if (c.duringRun) {
            w.clock.advance(285);
            ASSERT_TRUE(w.clock.armed(10));
            c.duringRun(w);
        }
        ASSERT_TRUE(w.clock.runUntilIdle());
        EXPECT_EQ(w.clock.fired.back(), c.lastStage);
        const bool loopback = c.a == "127";
        // A loopback address ends the run with its finding, not with a fault: the window shows
        // that run whole, and the button is on for it.
        EXPECT_EQ(w->Command3.Enabled, loopback);
        if (!loopback) {
            // Even a click the desktop delivered anyway writes nothing.
            w->Command3_Click();
            w.clock.runUntilIdle();
            EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
        }
    }
}

// Calculate again while a run is on its way, with another address and mask: the two chains of
// stages interleave. Whenever the button comes back, the file is the second run's, whole.
TEST(ExportRun, CalculateAgainDuringARun) {
    const std::string second = golden::read("csv_c_16_networks.csv");
    for (int at = 0; at <= 400; at += 5) {
        SCOPED_TRACE("second Calculate after " + std::to_string(at) + " ms");
        HeadlessWindow w;
        w.enter("192.168.1.130", 26);
        w->CMD1_Click();
        w.clock.advance(at);
        w.enter("192.168.1.10", 28);
        w->CMD1_Click();
        EXPECT_FALSE(w->Command3.Enabled);
        ASSERT_TRUE(w.clock.runUntilIdle());
        // Pressed twice before the first stage ran, or after the first run ended: one clean run.
        if (at < 30 || at >= 300) {
            EXPECT_TRUE(w->Command3.Enabled);
        }
        if (!pressExportIfEnabled(w))
            continue;
        w.clock.runUntilIdle();
        const std::string diff = golden::firstDifference(second, w.files.files["ip-file.csv"]);
        EXPECT_TRUE(diff.empty()) << diff;
    }
}

// Calculate pressed twice with the same input, as with a double click: the older chain writes
// what the newer one writes, and the export is there in the end.
TEST(ExportRun, CalculateTwiceWithTheSameInput) {
    const std::string expected = golden::read("csv_c_26.csv");
    for (int at = 0; at <= 400; at += 5) {
        SCOPED_TRACE("second Calculate after " + std::to_string(at) + " ms");
        HeadlessWindow w;
        w.enter("192.168.1.130", 26);
        w->CMD1_Click();
        w.clock.advance(at);
        w->CMD1_Click();
        ASSERT_TRUE(w.clock.runUntilIdle());
        ASSERT_TRUE(pressExportIfEnabled(w));
        w.clock.runUntilIdle();
        const std::string diff = golden::firstDifference(expected, w.files.files["ip-file.csv"]);
        EXPECT_TRUE(diff.empty()) << diff;
    }
}

// The user edits the input while the run reads it. The export is either the run of the old
// input or the run of the new one, never a blend; after the run it is always the old one.
TEST(ExportRun, InputEditedDuringTheRun) {
    struct Edit {
        const char* what;
        std::function<void(HeadlessWindow&)> apply;
        std::string a, b, c, d;
        int prefix;
    };
    const Edit edits[] = {
        {"Text4", [](HeadlessWindow& w) { w->Text4.Text = "10"; }, "192", "168", "1", "10", 26},
        {"Text2", [](HeadlessWindow& w) { w->Text2.Text = "169"; }, "192", "169", "1", "130", 26},
        {"mask", [](HeadlessWindow& w) { w->Combo1.setListIndex(28 - 8); }, "192", "168", "1",
         "130", 28},
        {"Text4 and mask",
         [](HeadlessWindow& w) {
             w->Text4.Text = "10";
             w->Combo1.setListIndex(28 - 8);
         },
         "192", "168", "1", "10", 28},
    };
    const std::string before = golden::read("csv_c_26.csv");
    for (const Edit& e : edits) {
        const std::string after = cleanExport(e.a, e.b, e.c, e.d, e.prefix);
        for (int at = 0; at <= 400; at += 5) {
            SCOPED_TRACE(std::string(e.what) + " edited after " + std::to_string(at) + " ms");
            HeadlessWindow w;
            w.enter("192.168.1.130", 26);
            w->CMD1_Click();
            w.clock.advance(at);
            e.apply(w);
            ASSERT_TRUE(w.clock.runUntilIdle());
            if (at < 30 || at > 300) {
                EXPECT_TRUE(w->Command3.Enabled);
            }
            if (!pressExportIfEnabled(w))
                continue;
            w.clock.runUntilIdle();
            const std::string& written = w.files.files["ip-file.csv"];
            if (at > 300) {
                EXPECT_EQ(written, before);
            } else if (at < 30) {
                EXPECT_EQ(written, after);
            } else {
                EXPECT_TRUE(written == before || written == after)
                    << "old run: " << golden::firstDifference(before, written)
                    << "\nnew run: " << golden::firstDifference(after, written);
            }
        }
    }
}

// Clear while a run is on its way: the stages that still come write into the cleared window.
// An export then writes either nothing or the file of a window that holds no run at all.
TEST(ExportRun, ClearDuringARun) {
    HeadlessWindow empty;
    empty->Command2_Click();
    empty->Command3_Click();
    empty.clock.runUntilIdle();
    const std::string emptyFile = empty.files.files.at("ip-file.csv");
    for (int at = 0; at <= 330; at += 15) {
        SCOPED_TRACE("Clear after " + std::to_string(at) + " ms");
        HeadlessWindow w;
        w.calculate("192.168.1.10", 28);
        w.files.files.clear();
        w.enter("192.168.1.130", 26);
        w->CMD1_Click();
        w.clock.advance(at);
        w->Command2_Click();
        ASSERT_TRUE(w.clock.runUntilIdle());
        EXPECT_FALSE(w->Command3.Enabled);
        w->Command3_Click();
        w.clock.runUntilIdle();
        if (w.files.files.count("ip-file.csv")) {
            EXPECT_EQ(w.files.files.at("ip-file.csv"), emptyFile);
        }
    }
}

}  // namespace
