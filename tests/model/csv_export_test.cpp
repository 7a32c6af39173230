// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "platform/ansi_text_writer.h"
#include "support/golden_file.h"
#include "support/texts.h"

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;
using sabrota::platform::AnsiTextWriter;

namespace {

const std::string& kSuccess = sabrota::test::kExportSuccess;
const std::string& kRefused = sabrota::test::kExportRefused;
const std::string& kFailure = sabrota::test::kExportFailure;
const std::string kHeading = AnsiTextWriter::encode("ネットワークアドレス一覧\r\n");

std::string readGolden(const std::string& name) {
    return golden::read(name);
}

std::vector<std::string> splitLines(const std::string& bytes) {
    return golden::lines(bytes);
}

using golden::firstDifference;

struct GoldenCase {
    const char* file;
    const char* address;
    int prefix;
    bool refused;
};

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, FileMatchesByteForByte) {
    const auto& c = GetParam();
    HeadlessWindow w;
    w.calculate(c.address, c.prefix);
    const std::size_t boxesBefore = w.box.shown.size();
    const std::string written = w.exportCsv();
    const std::string expected = readGolden(c.file);
    const std::string diff = firstDifference(expected, written);
    EXPECT_TRUE(diff.empty()) << diff;

    ASSERT_EQ(w.box.shown.size(), boxesBefore + 1);
    EXPECT_EQ(w.box.shown.back(), (Shown{c.refused ? kRefused : kSuccess, 0, "Sabrota"}));
    EXPECT_EQ(w->Command3.Enabled, c.refused);
    EXPECT_EQ(w.files.writes, 1);
    EXPECT_FALSE(w.clock.anyArmed());
}

INSTANTIATE_TEST_SUITE_P(
    Export, Golden,
    testing::Values(GoldenCase{"csv_c_26.csv", "192.168.1.130", 26, false},
                    GoldenCase{"csv_c_network_coincides.csv", "192.168.1.0", 24, false},
                    GoldenCase{"csv_b_classless.csv", "150.1.2.3", 12, false},
                    GoldenCase{"csv_loopback.csv", "127.0.0.1", 24, false},
                    GoldenCase{"csv_c_16_networks.csv", "192.168.1.10", 28, false},
                    GoldenCase{"csv_b_16384_networks.csv", "172.16.5.4", 30, false},
                    GoldenCase{"csv_b_refused.csv", "172.16.5.4", 31, true},
                    GoldenCase{"csv_a_refused.csv", "10.1.2.3", 25, true}),
    [](const testing::TestParamInfo<GoldenCase>& i) {
        std::string n = i.param.file;
        return n.substr(4, n.size() - 8);
    });

// The golden files themselves hold what the export rules promise, whatever wrote them.
TEST(GoldenFiles, ListSectionShapes) {
    const auto big = splitLines(readGolden("csv_b_16384_networks.csv"));
    ASSERT_EQ(big.size(), 22U + 1639U);
    EXPECT_EQ(big[22],
              "172.16.0.0,172.16.0.4,172.16.0.8,172.16.0.12,172.16.0.16,172.16.0.20,"
              "172.16.0.24,172.16.0.28,172.16.0.32,172.16.0.36,");
    EXPECT_EQ(big.back(), "172.16.255.240,172.16.255.244,172.16.255.248,172.16.255.252,");

    const auto sixteen = splitLines(readGolden("csv_c_16_networks.csv"));
    ASSERT_EQ(sixteen.size(), 24U);
    EXPECT_EQ(sixteen[23],
              "192.168.1.160,192.168.1.176,192.168.1.192,192.168.1.208,"
              "192.168.1.224,192.168.1.240,");

    const auto refused = readGolden("csv_b_refused.csv");
    const std::string tail = AnsiTextWriter::encode(
        "ネットワーク数は多すぎて書き込めません！ごめんなさい。16384本以下でご使用ください。\r\n");
    EXPECT_EQ(refused.substr(refused.size() - tail.size()), tail);
}

// The command itself.

TEST(CsvExport, FailureKeepsThePreviousFileAndTheButton) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    const std::string first = w.exportCsv();
    ASSERT_FALSE(first.empty());
    EXPECT_FALSE(w->Command3.Enabled);

    w.calculate("192.168.1.10", 28);
    ASSERT_TRUE(w->Command3.Enabled);
    w.files.failing = true;
    w.exportCsv();
    EXPECT_EQ(w.box.shown.back(), (Shown{kFailure, 0, "Sabrota"}));
    EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
    EXPECT_TRUE(w->Command3.Enabled);
    EXPECT_FALSE(w->Timer11.armed());

    // Once the cause is gone the next click exports normally.
    w.files.failing = false;
    const std::string second = w.exportCsv();
    EXPECT_EQ(w.box.shown.back(), (Shown{kSuccess, 0, "Sabrota"}));
    const std::string diff = firstDifference(readGolden("csv_c_16_networks.csv"), second);
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_FALSE(w->Command3.Enabled);
}

TEST(CsvExport, RefusedListWithFailingStoreIsAFailure) {
    HeadlessWindow w;
    w.calculate("172.16.5.4", 31);
    w.files.failing = true;
    const std::size_t before = w.box.shown.size();
    w.exportCsv();
    ASSERT_EQ(w.box.shown.size(), before + 1);
    EXPECT_EQ(w.box.shown.back().prompt, kFailure);
    EXPECT_TRUE(w.files.files.empty());
    EXPECT_TRUE(w->Command3.Enabled);
}

TEST(CsvExport, TwoClicksWithinTheIntervalGiveOneExport) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w->Command3_Click();
    w.clock.advance(20);
    w->Command3_Click();  // arms the same timer again
    w.clock.runUntilIdle();
    EXPECT_EQ(w.files.writes, 1);
    EXPECT_EQ(w.box.shown.size(), 1U);
}

TEST(CsvExport, ClickWaitsForTheTick) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w->Command3_Click();
    w.clock.advance(29);
    EXPECT_EQ(w.files.writes, 0);
    // The boxes may still change before the tick; the export writes the address as the run
    // read it.
    w->Text1.Text = "193";
    w.clock.advance(1);
    EXPECT_EQ(w.files.writes, 1);
    EXPECT_EQ(splitLines(w.files.files.at("ip-file.csv"))[1], "192.168.1.130");
}

TEST(CsvExport, NeverRunsTwiceWhileItsBoxIsOpen) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    int nested = 0;
    w.box.whileOpen = [&](const Shown&) {
        if (++nested > 3)
            return;  // a broken guard would recurse; stop it here and let the counts tell
        EXPECT_TRUE(w->Timer11.armed());  // disarmed only after the box is closed
        w.clock.advance(100);
        w->Command3_Click();
        w.clock.advance(100);
    };
    w->Command3_Click();
    w.clock.runUntilIdle();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(w.files.writes, 1);
    EXPECT_FALSE(w.clock.anyArmed());
}

TEST(CsvExport, SubnetCountThatIsNoNumberFails) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    const std::string first = w.exportCsv();
    w.calculate("192.168.1.130", 26);
    w->Label31.Caption = "abc";
    w.exportCsv();
    EXPECT_EQ(w.box.shown.back(), (Shown{kFailure, 0, "Sabrota"}));
    EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
    EXPECT_TRUE(w->Command3.Enabled);
    EXPECT_FALSE(w.clock.anyArmed());
}

TEST(CsvExport, EmptySubnetCountWritesEntryZeroOnly) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w->Label31.Caption = "";
    std::string bytes = w.exportCsv();
    ASSERT_GE(bytes.size(), kHeading.size());
    EXPECT_EQ(bytes.substr(bytes.rfind(kHeading) + kHeading.size()), "192.168.1.0,");

    w.calculate("192.168.1.130", 26);
    w->Label31.Caption = "";
    w->List1.Clear();
    bytes = w.exportCsv();
    EXPECT_EQ(bytes.substr(bytes.rfind(kHeading) + kHeading.size()), ",");
    EXPECT_EQ(w.box.shown.back().prompt, kSuccess);
}

TEST(CsvExport, SubnetCountReadsAsANumber) {
    struct Case {
        const char* caption;
        const char* listSection;
    };
    const Case cases[] = {
        {"2", "192.168.1.0,192.168.1.64,"},
        {" 3 ", "192.168.1.0,192.168.1.64,192.168.1.128,"},
        {"1.5", "192.168.1.0,"},                             // 0.5 rounds to the even 0
        {"2.5", "192.168.1.0,192.168.1.64,192.168.1.128,"},  // 1.5 rounds to 2
        {"0", ""},
        {"-7", ""},
    };
    for (const auto& c : cases) {
        HeadlessWindow w;
        w.calculate("192.168.1.130", 26);
        w->Label31.Caption = c.caption;
        const std::string bytes = w.exportCsv();
        ASSERT_FALSE(bytes.empty()) << c.caption;
        EXPECT_EQ(bytes.substr(bytes.rfind(kHeading) + kHeading.size()), c.listSection)
            << c.caption;
    }
}

// Characters the code page lacks would become "?" in the file; a mask text that carries them
// is no mask, the run stops at its first mask stage and the file keeps the previous run.
TEST(CsvExport, UnencodableMaskTextNeverReachesTheFile) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    const std::string first = w.exportCsv();
    w.calculate("192", "168", "1", "130", "255.255.255.192    /26 한😀");
    EXPECT_EQ(w.box.shown.back(), (Shown{"サブネットマスクを一覧から選択してください。", 48,
                                         "サブネット１：範囲外！！"}));
    EXPECT_FALSE(w->Command3.Enabled);
    w.exportCsv();
    EXPECT_EQ(w.files.files.at("ip-file.csv"), first);
}

TEST(CsvExport, LeadingZerosStayAsTyped) {
    HeadlessWindow w;
    w.calculate("010", "001", "002", "003", "255.192.000.000    /10");
    const auto lines = splitLines(w.exportCsv());
    ASSERT_EQ(lines.size(), 23U);
    EXPECT_EQ(lines[1], "010.001.002.003");
    EXPECT_EQ(lines[2], AnsiTextWriter::encode("入力IPアドレス,010,001,002,003"));
    EXPECT_EQ(lines[15], AnsiTextWriter::encode("10.0.0.0,～,10.63.255.255"));
    EXPECT_EQ(lines[22], "10.0.0.0,10.64.0.0,10.128.0.0,10.192.0.0,");
}

TEST(CsvExport, AfterAClearedWindowEveryFieldIsEmpty) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w->Command2_Click();
    // Clear disables the button; the handler itself still writes what the window holds.
    EXPECT_FALSE(w->Command3.Enabled);
    w->Command3_Click();
    w.clock.runUntilIdle();
    const auto lines = splitLines(w.files.files.at("ip-file.csv"));
    ASSERT_EQ(lines.size(), 23U);
    EXPECT_EQ(lines[1], "...");
    EXPECT_EQ(lines[3], "BIN,'" + std::string(9, ' ') + ",'" + std::string(12, ' ') + ",'" +
                            std::string(12, ' ') + ",'");
    EXPECT_EQ(lines[22], ",");
}

}  // namespace
