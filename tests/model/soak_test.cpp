// SPDX-License-Identifier: MIT
// A long random session on one window: valid and invalid addresses and masks, Calculate pressed
// again or Clear pressed while a run is on its way, Clear between runs. Every run that completes
// undisturbed is checked against a plain 32-bit computation of the network.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>

#include "headless/headless.h"
#include "support/draw.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Under the sanitizers every run costs some ten times more; a tenth of the runs keeps the
// test to seconds there.
constexpr int kRuns = kSanitized ? 10'000 : 100'000;

using sabrota::headless::HeadlessWindow;

struct Expected {
    enum Outcome { Listed, Classless, Loopback, Refused } outcome;
    std::string box;  // the title of the box that ends the run, for Refused
};

std::string dotted(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
}

std::string pow2(int bits) {
    return std::to_string(std::uint64_t{1} << bits);
}

class Soak {
  public:
    explicit Soak(std::uint32_t seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return rng_.between(lo, hi); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }

    // A valid octet as a user could type it in three characters, and the value it stands for.
    std::string typedOctet(int value) {
        const int form = uniform(0, 9);
        if (form == 0 && value < 100)
            return "0" + std::to_string(value);  // a leading zero
        if (form == 1 && value < 10)
            return " " + std::to_string(value) + " ";
        if (form == 2 && value < 10 && value % 2 == 0 && value > 0)
            return std::to_string(value - 1) + ".5";  // odd and a half: up to the even value
        if (form == 3 && value < 10 && value % 2 == 0)
            return std::to_string(value) + ".5";  // even and a half: stays
        if (form == 4 && value == 100)
            return "1e2";
        return std::to_string(value);
    }

    HeadlessWindow w;
    sabrota::test::Draw rng_;
};

struct Bad {
    const char* text;
    bool numeric;  // numeric but out of range, or not numeric at all
};
constexpr Bad kBadOctets[] = {{"", false},   {"abc", false}, {" ", false}, {"1-", false},
                              {"x1", false}, {"256", true},  {"-1", true}, {"1e5", true},
                              {"999", true}, {"1e3", true}};
const char* const kNotNumericTitles[] = {
    "第１オクテット：数字ではありません", "第２オクテット：数字ではありません",
    "第3オクテット：数字ではありません", "第4オクテット：数字ではありません"};
const char* const kRangeTitles[] = {"第1オクテット：範囲外！！", "第２オクテット範囲外！！",
                                    "第3オクテット範囲外！！", "第4オクテット範囲外！！"};

// Whether the list of this address and mask is long; long lists are kept rare so that the
// session stays short.
int listBits(int first, int prefix) {
    const int natural = first < 128 ? 8 : first < 192 ? 16 : 24;
    return prefix >= natural ? prefix - natural : 0;
}

TEST(Soak, RandomSessionsAgreeWithPlainArithmetic) {
    Soak s(20240611u);
    sabrota::Form1& f = *s.w;
    int checked = 0, refusedChecked = 0, disturbed = 0, listedTotal = 0;
    const auto start = std::chrono::steady_clock::now();

    for (int run = 0; run < kRuns; ++run) {
        // The address: mostly valid, sometimes one bad octet.
        int octet[4] = {s.uniform(1, 223), s.uniform(0, 255), s.uniform(0, 255), s.uniform(0, 255)};
        if (s.chance(5))
            octet[0] = 127;
        int prefix = s.uniform(8, 31);
        if (listBits(octet[0], prefix) > 10 && listBits(octet[0], prefix) <= 16 && !s.chance(2))
            prefix = s.uniform(8, 16);
        if (s.chance(3)) {
            // Networks and broadcasts, where the coincidence check has its say.
            const std::uint32_t a =
                (std::uint32_t(octet[0]) << 24) | (octet[1] << 16) | (octet[2] << 8) | octet[3];
            const std::uint32_t m = ~std::uint32_t{0} << (32 - prefix);
            const std::uint32_t edge = s.chance(50) ? (a & m) : (a | ~m);
            for (int k = 0; k < 4; ++k)
                octet[k] = static_cast<int>((edge >> (24 - 8 * k)) & 0xFF);
        }
        std::string text[4];
        for (int k = 0; k < 4; ++k)
            text[k] = s.typedOctet(octet[k]);
        Expected expected{Expected::Listed, {}};
        if (s.chance(10)) {
            const int k = s.uniform(0, 3);
            Bad bad = kBadOctets[s.uniform(0, 9)];
            if (k == 0 && s.chance(30))
                bad = s.chance(50) ? Bad{"0", true} : Bad{"224", true};
            text[k] = bad.text;
            expected = {Expected::Refused, bad.numeric ? kRangeTitles[k] : kNotNumericTitles[k]};
        }
        const int natural = octet[0] < 128 ? 8 : octet[0] < 192 ? 16 : 24;
        if (expected.outcome != Expected::Refused) {
            if (octet[0] == 127)
                expected.outcome = Expected::Loopback;
            else if (prefix < natural)
                expected.outcome = Expected::Classless;
        }

        f.Text1.Text = text[0];
        f.Text2.Text = text[1];
        f.Text3.Text = text[2];
        f.Text4.Text = text[3];
        const int maskForm = s.uniform(0, 19);
        if (maskForm == 0) {
            f.Combo1.typeText("");
            if (expected.outcome != Expected::Refused)
                expected = {Expected::Refused, "サブネット１：選択してください"};
        } else if (maskForm == 1) {
            // The item typed without its "    /nn": the pieces are all there.
            f.Combo1.typeText(std::string(f.Combo1.items[std::size_t(prefix - 8)]).substr(0, 15));
        } else if (maskForm == 2) {
            f.Combo1.typeText("255.255.000.255");  // pieces that are octets, but no mask
            if (expected.outcome != Expected::Refused)
                expected = {Expected::Refused, "サブネットマスク：不正！！"};
        } else {
            f.Combo1.setListIndex(prefix - 8);
        }

        s.w.box.shown.clear();
        f.CMD1_Click();
        // Now and then the user does not wait: Calculate again (same input), or Clear.
        const int interference = s.uniform(0, 99);
        if (interference < 4) {
            s.w.clock.advance(s.uniform(0, 330));
            f.CMD1_Click();
            s.w.box.shown.clear();
        } else if (interference < 7) {
            s.w.clock.advance(s.uniform(0, 330));
            f.Command2_Click();
            ++disturbed;
            ASSERT_TRUE(s.w.clock.runUntilIdle(2'000)) << "run " << run;
            EXPECT_EQ(f.List1.ListCount(), 0) << "run " << run;
            EXPECT_TRUE(f.Text1.Text.empty());
            continue;
        }
        ASSERT_TRUE(s.w.clock.runUntilIdle(2'000)) << "run " << run;
        if (interference < 4)
            ++disturbed;

        const std::uint32_t a =
            (std::uint32_t(octet[0]) << 24) | (octet[1] << 16) | (octet[2] << 8) | octet[3];
        const std::uint32_t mask = ~std::uint32_t{0} << (32 - prefix);
        const std::uint32_t net = a & mask, bcast = a | ~mask;
        const std::string shownNet = f.Label33.Caption + "." + f.Label35.Caption + "." +
                                     f.Label37.Caption + "." + f.Label39.Caption;
        const std::string shownBcast = f.Label41.Caption + "." + f.Label43.Caption + "." +
                                       f.Label45.Caption + "." + f.Label47.Caption;
        const std::string where = "run " + std::to_string(run) + ": " + text[0] + "|" + text[1] +
                                  "|" + text[2] + "|" + text[3] + " /" + std::to_string(prefix);

        switch (expected.outcome) {
            case Expected::Listed:
                ASSERT_EQ(shownNet, dotted(net)) << where;
                ASSERT_EQ(shownBcast, dotted(bcast)) << where;
                ASSERT_EQ(f.Label20.Caption, pow2(32 - prefix)) << where;
                ASSERT_EQ(f.Label31.Caption, pow2(prefix - natural)) << where;
                if (prefix - natural <= 16 && !(natural == 8 && prefix > 24)) {
                    ASSERT_EQ(f.List1.ListCount(), 1 << (prefix - natural)) << where;
                    // The highlighted entry is the address's own network.
                    ASSERT_GE(f.List1.ListIndex, 0) << where;
                    ASSERT_EQ(f.List1.List(f.List1.ListIndex), dotted(net)) << where;
                    listedTotal += f.List1.ListCount();
                } else {
                    ASSERT_EQ(f.List1.ListCount(), 1) << where;
                }
                ASSERT_TRUE(f.Command3.Enabled) << where;
                if (interference >= 4) {
                    ASSERT_TRUE(s.w.box.shown.empty()) << where;
                }
                ++checked;
                break;
            case Expected::Classless:
                ASSERT_EQ(shownNet, dotted(net)) << where;
                ASSERT_EQ(shownBcast, dotted(bcast)) << where;
                ASSERT_EQ(f.Label20.Caption, pow2(32 - prefix)) << where;
                ASSERT_EQ(f.Label31.Caption, "") << where;
                ASSERT_EQ(f.List1.ListCount(), 0) << where;
                ASSERT_FALSE(s.w.box.shown.empty()) << where;
                ASSERT_EQ(s.w.box.shown.back().title, "クラスレス！！") << where;
                ++checked;
                break;
            case Expected::Loopback:
                ASSERT_EQ(f.Label20.Caption, "") << where;
                ASSERT_EQ(f.List1.ListCount(), 0) << where;
                ASSERT_EQ(s.w.box.shown.back().title, "ループバックテスト用！！") << where;
                break;
            case Expected::Refused:
                if (interference >= 4) {
                    ASSERT_EQ(s.w.box.shown.size(), 1u) << where;
                    ASSERT_EQ(s.w.box.shown[0].title, expected.box) << where;
                    ASSERT_EQ(f.List1.ListCount(), 0) << where;
                    ASSERT_EQ(f.Label31.Caption, "") << where;
                    ++refusedChecked;
                }
                break;
        }
        if (s.chance(5))
            f.Command2_Click();
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "soak: " << kRuns << " runs in " << seconds << " s (" << checked
              << " results checked, " << refusedChecked << " refusals checked, " << disturbed
              << " disturbed, " << listedTotal << " list entries)\n";
    EXPECT_GT(checked, kRuns / 2);
    EXPECT_GT(refusedChecked, kRuns / 20);
}

}  // namespace
