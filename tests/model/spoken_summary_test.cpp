// SPDX-License-Identifier: MIT
// What a screen reader is given to say when a run, Clear or the export ends, and when.
#include <gtest/gtest.h>

#include "headless/headless.h"
#include "window/spoken_summary.h"

using namespace sabrota;

namespace {

struct SummaryRow {
    const char* name;
    const char* address;
    int prefix;
    const char* said;  // at the end of the run
};

// clang-format off
const SummaryRow kRuns[] = {
    {"ClassCSubnet", "192.168.1.130", 26, "アドレスクラス C、アドレスの種類 プライベート、使用可能なホスト数 62 台、ネットワークアドレス 192.168.1.128 ～ ブロードキャストアドレス 192.168.1.191、サブネットの本数 4 本"},
    {"RefusedList",  "10.1.2.3",      25, "アドレスクラス A、アドレスの種類 プライベート、使用可能なホスト数 126 台、ネットワークアドレス 10.1.2.0 ～ ブロードキャストアドレス 10.1.2.127、サブネットの本数 131072 本、ネットワークアドレスの一覧 CPU(T_T):計算が大変なので計算いたしません！！"},
    {"Warning",      "192.168.1.128", 26, "アドレスクラス C、アドレスの種類 プライベート、使用可能なホスト数 62 台、ネットワークアドレス 192.168.1.128 ～ ブロードキャストアドレス 192.168.1.191、サブネットの本数 4 本、注意 ネットワークトアドレスと重複"},
    {"BadFirstOctet", "300.1.1.1",    24, "結果なし"},
};
// clang-format on

class SpokenSummaryTest : public ::testing::TestWithParam<SummaryRow> {};

// The watch hears of each event once it is handled, as the window reports them: the click,
// then the ticks. The summary is due once, when the last stage is over, and not before.
TEST_P(SpokenSummaryTest, ARunEndsWithItsSummary) {
    const SummaryRow& row = GetParam();
    headless::HeadlessWindow w;
    SummaryWatch watch;
    w.enter(row.address, row.prefix);
    EXPECT_EQ(watch.afterEvent(*w), std::nullopt);
    w->CMD1_Click();
    EXPECT_EQ(watch.afterEvent(*w), std::nullopt);
    EXPECT_TRUE(watch.busy());
    w.clock.runUntilIdle();
    for (const auto& box : w.box.shown)
        watch.boxClosed(box.prompt);
    EXPECT_EQ(watch.afterEvent(*w), std::optional<std::string>(row.said));
    EXPECT_FALSE(watch.busy());
    EXPECT_EQ(watch.afterEvent(*w), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Runs, SpokenSummaryTest, ::testing::ValuesIn(kRuns),
                         [](const auto& row) { return std::string(row.param.name); });

// Clear says the mask it went back to; the export says its box once the box has closed.
TEST(SpokenSummary, ClearAndTheExportSayHowTheyEnded) {
    headless::HeadlessWindow w;
    SummaryWatch watch;
    w.calculate("192.168.1.130", 26);
    watch.afterEvent(*w);
    w->Command3_Click();
    EXPECT_EQ(watch.afterEvent(*w), std::nullopt);
    w.clock.runUntilIdle();
    ASSERT_EQ(w.box.shown.size(), 1u);
    watch.boxClosed(w.box.shown.back().prompt);
    EXPECT_EQ(watch.afterEvent(*w),
              std::optional<std::string>("CSV出力、新しいファイルを作成しました。ip-file.csv"));

    w->Command2_Click();
    EXPECT_EQ(clearSummary(*w), "クリア、サブネットマスク 255.255.255.000 /24");
}

}  // namespace
