// SPDX-License-Identifier: MIT
// Classification and subnet arithmetic (Timer9, Timer10): every result field for chosen
// addresses, then a sweep over all first octets and masks against a bit-mask computation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/texts.h"

namespace {

using sabrota::Control;
using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;

const Shown kLoopback{"ループバックテスト用アドレスです。", 48, "ループバックテスト用！！"};
const Shown kClassless{"クラスレス。ホスト数とネットワークの範囲のみ計算します。", 48,
                       "クラスレス！！"};
const Shown kBadMask{"サブネットマスクが正しくありません。一覧から選択してください。", 48,
                     "サブネットマスク：不正！！"};
const std::string& kRefusal = sabrota::test::kListRefusal;

std::string dotted(const Control& a, const Control& b, const Control& c, const Control& d) {
    if (a.Caption.empty() && b.Caption.empty() && c.Caption.empty() && d.Caption.empty())
        return "";
    return a.Caption + "." + b.Caption + "." + c.Caption + "." + d.Caption;
}

std::string power(const Control& base, const Control& exponent) {
    if (base.Caption.empty() && exponent.Caption.empty())
        return "";
    return base.Caption + "^" + exponent.Caption;
}

// The results as the window shows them, one text per row of the window.
struct Results {
    std::string cls, kind, wildcard, count, hostPower, usable, subnets, subnetPower, range, note,
        mark, highlight;
    int listSize;
    std::string first, last;
    int selected;
    bool operator==(const Results&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Results& r) {
    return o << r.cls << " " << r.kind << " | " << r.wildcard << " | " << r.count << " "
             << r.hostPower << " " << r.usable << " | " << r.subnets << " " << r.subnetPower
             << " | " << r.range << " | " << r.note << " " << r.mark << " | " << r.highlight
             << " | " << r.listSize << " " << r.first << ".." << r.last << " @" << r.selected;
}

Results results(HeadlessWindow& h) {
    auto& w = *h;
    Results r;
    r.cls = w.Label14.Caption;
    r.kind = w.Label46.Caption;
    r.wildcard = dotted(w.Label21, w.Label15, w.Label16, w.Label17);
    r.count = w.Label20.Caption;
    r.hostPower = power(w.Label58, w.Label59);
    r.usable = w.Label24.Caption;
    r.subnets = w.Label27.Caption.empty() && w.Label29.Caption.empty() && w.Label31.Caption.empty()
                    ? ""
                    : w.Label27.Caption + "/" + w.Label29.Caption + "=" + w.Label31.Caption;
    r.subnetPower = power(w.Label60, w.Label61);
    const std::string net = dotted(w.Label33, w.Label35, w.Label37, w.Label39);
    const std::string bc = dotted(w.Label41, w.Label43, w.Label45, w.Label47);
    r.range = net.empty() && bc.empty() ? "" : net + "~" + bc;
    r.note = w.Label18.Caption;
    r.mark = w.Label53.Caption;
    for (const Control* c : {&w.Label33, &w.Label35, &w.Label37, &w.Label39, &w.Label41, &w.Label43,
                             &w.Label45, &w.Label47})
        r.highlight += c->BackColor == 0x00C0FFFFu ? 'Y' : c->BackColor == 0x8000000Fu ? '.' : '?';
    r.listSize = w.List1.ListCount();
    r.first = w.List1.List(0);
    r.last = w.List1.List(w.List1.ListCount() - 1);
    r.selected = w.List1.ListIndex;
    return r;
}

struct Case {
    const char* name;
    std::string a, b, c, d;
    int prefix;
    Results expected;
    std::vector<Shown> boxes;
    bool subnetStage;  // Timer10 ran
};

const std::string kNet = "ネットワークトアドレスと重複";
const std::string kBc = "ブロードキャストアドレスと重複";
const std::string kNone = "........";

TEST(Analysis, ChosenAddresses) {
    const std::string P = "プライベート", G = "グローバル", L = "ループバック";
    // clang-format off
    const Case cases[] = {
        {"A, one network", "10", "1", "2", "3", 8, {"A", P, "0.255.255.255", "16777216", "2^24", "16777214", "16777216/16777216=1", "2^0", "10.0.0.0~10.255.255.255", "", "", kNone, 1, "10.0.0.0", "10.0.0.0", 0}, {}, true},
        {"B private, first", "172", "16", "0", "1", 16, {"B", P, "0.0.255.255", "65536", "2^16", "65534", "65536/65536=1", "2^0", "172.16.0.0~172.16.255.255", "", "", kNone, 1, "172.16.0.0", "172.16.0.0", 0}, {}, true},
        {"B private, last", "172", "31", "255", "1", 16, {"B", P, "0.0.255.255", "65536", "2^16", "65534", "65536/65536=1", "2^0", "172.31.0.0~172.31.255.255", "", "", kNone, 1, "172.31.0.0", "172.31.0.0", 0}, {}, true},
        {"B global, below", "172", "15", "0", "1", 16, {"B", G, "0.0.255.255", "65536", "2^16", "65534", "65536/65536=1", "2^0", "172.15.0.0~172.15.255.255", "", "", kNone, 1, "172.15.0.0", "172.15.0.0", 0}, {}, true},
        {"B global, above", "172", "32", "0", "1", 16, {"B", G, "0.0.255.255", "65536", "2^16", "65534", "65536/65536=1", "2^0", "172.32.0.0~172.32.255.255", "", "", kNone, 1, "172.32.0.0", "172.32.0.0", 0}, {}, true},
        {"C private", "192", "168", "0", "1", 24, {"C", P, "0.0.0.255", "256", "2^8", "254", "256/256=1", "2^0", "192.168.0.0~192.168.0.255", "", "", kNone, 1, "192.168.0.0", "192.168.0.0", 0}, {}, true},
        {"C global, beside", "192", "169", "0", "1", 24, {"C", G, "0.0.0.255", "256", "2^8", "254", "256/256=1", "2^0", "192.169.0.0~192.169.0.255", "", "", kNone, 1, "192.169.0.0", "192.169.0.0", 0}, {}, true},
        {"loopback /24", "127", "0", "0", "1", 24, {L, L, "0.0.0.255", "", "", "", "", "", "", "", "", kNone, 0, "", "", -1}, {kLoopback}, false},
        {"loopback /8", "127", "0", "0", "1", 8, {L, L, "0.255.255.255", "", "", "", "", "", "", "", "", kNone, 0, "", "", -1}, {kLoopback}, false},
        {"B classless", "150", "1", "2", "3", 12, {"B", G, "0.15.255.255", "1048576", "2^20", "1048574", "", "", "150.0.0.0~150.15.255.255", "", "", kNone, 0, "", "", -1}, {kClassless}, false},
        {"C classless", "200", "1", "2", "3", 23, {"C", G, "0.0.1.255", "512", "2^9", "510", "", "", "200.1.2.0~200.1.3.255", "", "", kNone, 0, "", "", -1}, {kClassless}, false},
        {"C /31 broadcast", "200", "1", "2", "3", 31, {"C", G, "0.0.0.1", "2", "2^1", "0", "256/2=128", "2^7", "200.1.2.2~200.1.2.3", kBc, "!!", "....YYYY", 128, "200.1.2.0", "200.1.2.254", 1}, {}, true},
        {"classless network", "200", "1", "2", "0", 23, {"C", G, "0.0.1.255", "512", "2^9", "510", "", "", "200.1.2.0~200.1.3.255", kNet, "!!", "YYYY....", 0, "", "", -1}, {kClassless}, false},
        {"classless broadcast", "200", "1", "3", "255", 23, {"C", G, "0.0.1.255", "512", "2^9", "510", "", "", "200.1.2.0~200.1.3.255", kBc, "!!", "....YYYY", 0, "", "", -1}, {kClassless}, false},
        {"typed 00 is no network", "200", "1", "2", "00", 23, {"C", G, "0.0.1.255", "512", "2^9", "510", "", "", "200.1.2.0~200.1.3.255", "", "", kNone, 0, "", "", -1}, {kClassless}, false},
        {"C /26", "192", "168", "1", "130", 26, {"C", P, "0.0.0.63", "64", "2^6", "62", "256/64=4", "2^2", "192.168.1.128~192.168.1.191", "", "", kNone, 4, "192.168.1.0", "192.168.1.192", 2}, {}, true},
        {"C network", "192", "168", "1", "0", 24, {"C", P, "0.0.0.255", "256", "2^8", "254", "256/256=1", "2^0", "192.168.1.0~192.168.1.255", kNet, "!!", "YYYY....", 1, "192.168.1.0", "192.168.1.0", 0}, {}, true},
        {"B /20", "172", "16", "5", "4", 20, {"B", P, "0.0.15.255", "4096", "2^12", "4094", "65536/4096=16", "2^4", "172.16.0.0~172.16.15.255", "", "", kNone, 16, "172.16.0.0", "172.16.240.0", 0}, {}, true},
        {"B /31 network", "172", "16", "5", "4", 31, {"B", P, "0.0.0.1", "2", "2^1", "0", "65536/2=32768", "2^15", "172.16.5.4~172.16.5.5", kNet, "!!", "YYYY....", 32768, "172.16.0.0", "172.16.255.254", 642}, {}, true},
        {"A 65536 networks", "10", "1", "2", "3", 24, {"A", P, "0.0.0.255", "256", "2^8", "254", "16777216/256=65536", "2^16", "10.1.2.0~10.1.2.255", "", "", kNone, 65536, "10.0.0.0", "10.255.255.0", 258}, {}, true},
        {"A list refused", "10", "1", "2", "3", 25, {"A", P, "0.0.0.127", "128", "2^7", "126", "16777216/128=131072", "2^17", "10.1.2.0~10.1.2.127", "", "", kNone, 1, kRefusal, kRefusal, -1}, {}, true},
        {"C host", "192", "168", "1", "1", 24, {"C", P, "0.0.0.255", "256", "2^8", "254", "256/256=1", "2^0", "192.168.1.0~192.168.1.255", "", "", kNone, 1, "192.168.1.0", "192.168.1.0", 0}, {}, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.a + "." + c.b + "." + c.c + "." + c.d + " /" +
                     std::to_string(c.prefix));
        HeadlessWindow w;
        w.calculate(c.a, c.b, c.c, c.d, w->Combo1.items[static_cast<std::size_t>(c.prefix - 8)]);
        EXPECT_EQ(results(w), c.expected);
        // The warning is red on the window, as its design gives it.
        if (!c.expected.note.empty()) {
            EXPECT_EQ(w->Label18.ForeColor, sabrota::colors::kRed);
        }
        EXPECT_EQ(w.box.shown, c.boxes);
        int tens = 0;
        for (int n : w.clock.fired)
            tens += n == 10;
        EXPECT_EQ(tens, c.subnetStage ? 1 : 0);
        EXPECT_FALSE(w.clock.anyArmed());
        EXPECT_TRUE(w->Command3.Enabled);
    }
}

// Timer9 ends the run for a loopback address before the CSV button could be pressed; the button
// is on as soon as the box is closed, with the subnet stage never armed.
TEST(Analysis, LoopbackStopsAtNine) {
    HeadlessWindow w;
    bool armedDuringBox = true;
    w.box.whileOpen = [&](const Shown&) { armedDuringBox = w.clock.armed(10); };
    w.calculate("127.0.0.1", 16);
    EXPECT_FALSE(armedDuringBox);
    EXPECT_EQ(w.clock.fired.back(), 9);
    EXPECT_TRUE(w->Command3.Enabled);
    EXPECT_EQ(w->Label20.Caption, "");
}

// Masks that are no item of the list end the run at Timer9 with one box; nothing hangs.
TEST(Analysis, RefusedTypedMasks) {
    for (const std::string text :
         {"255.000.255.000", "000.000.000.000", "255.255.255.255", "255.255.255.001",
          "255.255.001.000", "128.000.000.000", "255.000.000.001"}) {
        for (const bool enabledBefore : {false, true}) {
            SCOPED_TRACE(text + (enabledBefore ? " after a run" : " at start"));
            HeadlessWindow w;
            if (enabledBefore) {
                w.calculate("192.168.1.1", 24);
                w.box.shown.clear();
            }
            w->Text1.Text = "192";
            w->Text2.Text = "168";
            w->Text3.Text = "1";
            w->Text4.Text = "1";
            w->Combo1.typeText(text);
            w->CMD1_Click();
            EXPECT_TRUE(w.clock.runUntilIdle());
            EXPECT_EQ(w.box.shown, std::vector<Shown>{kBadMask});
            EXPECT_EQ(w.clock.fired.back(), 9);
            // Calculate took the button away even where a run had enabled it.
            EXPECT_FALSE(w->Command3.Enabled);
            EXPECT_EQ(w->Label14.Caption, "");
            EXPECT_EQ(w->Label20.Caption, "");
            EXPECT_EQ(w->List1.ListCount(), 0);
        }
    }
}

// The mask text without leading zeros: "255.0.255.0" cuts into the pieces "255", "0.2", "55."
// and nothing, with no "." at the 4th character, so the first mask stage already stops the run.
TEST(Analysis, ShortTypedMaskStopsAtFirstMaskStage) {
    HeadlessWindow w;
    w.calculate("192", "168", "1", "1", "255.0.255.0");
    EXPECT_EQ(w.box.shown, (std::vector<Shown>{{"サブネットマスクを一覧から選択してください。", 48,
                                                "サブネット１：範囲外！！"}}));
    EXPECT_EQ(w.clock.fired.back(), 5);
}

// The sweep: every first octet with every mask, against a plain 32-bit computation.

std::string ip(std::uint32_t v) {
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 255) + "." +
           std::to_string((v >> 8) & 255) + "." + std::to_string(v & 255);
}

std::uint32_t maskOf(int prefix) {
    return prefix == 0 ? 0u : 0xFFFFFFFFu << (32 - prefix);
}

TEST(Analysis, SweepAgainstBitMasks) {
    std::uint32_t seed = 12345;
    auto random = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFFu;
    };
    HeadlessWindow w;
    int runs = 0;
    for (std::uint32_t first = 1; first <= 223; ++first) {
        for (int prefix = 8; prefix <= 31; ++prefix) {
            const int classBits = first < 128 ? 8 : first < 192 ? 16 : 24;
            const long long networks = prefix >= classBits ? 1LL << (prefix - classBits) : 0;
            // Long lists cost time: one host part for them, three for the short ones.
            std::vector<std::uint32_t> hosts = {random()};
            if (networks <= 4096)
                hosts.insert(hosts.end(), {0u, 0xFFFFFFu});
            for (const std::uint32_t host : hosts) {
                const std::uint32_t addr = first << 24 | host;
                const std::uint32_t mask = maskOf(prefix);
                const std::uint32_t net = addr & mask, bc = net | ~mask;
                const std::string text = ip(addr);
                SCOPED_TRACE(text + " /" + std::to_string(prefix));
                w.box.shown.clear();
                w.calculate(text, prefix);
                ++runs;
                const auto& f = *w;
                if (first == 127) {
                    ASSERT_EQ(w.box.shown, std::vector<Shown>{kLoopback});
                    ASSERT_EQ(f.Label20.Caption, "");
                    ASSERT_EQ(f.List1.ListCount(), 0);
                    continue;
                }
                const long long count = 1LL << (32 - prefix);
                ASSERT_EQ(f.Label20.Caption, std::to_string(count));
                ASSERT_EQ(f.Label59.Caption, std::to_string(32 - prefix));
                ASSERT_EQ(f.Label24.Caption, std::to_string(count - 2));
                ASSERT_EQ(dotted(f.Label33, f.Label35, f.Label37, f.Label39), ip(net));
                ASSERT_EQ(dotted(f.Label41, f.Label43, f.Label45, f.Label47), ip(bc));
                ASSERT_EQ(dotted(f.Label21, f.Label15, f.Label16, f.Label17), ip(~mask));
                const std::string note = addr == net ? kNet : addr == bc ? kBc : "";
                ASSERT_EQ(f.Label18.Caption, note);
                if (prefix < classBits) {
                    ASSERT_EQ(w.box.shown, std::vector<Shown>{kClassless});
                    ASSERT_EQ(f.Label31.Caption, "");
                    ASSERT_EQ(f.List1.ListCount(), 0);
                    continue;
                }
                ASSERT_TRUE(w.box.shown.empty());
                ASSERT_EQ(f.Label27.Caption, std::to_string(1LL << (32 - classBits)));
                ASSERT_EQ(f.Label29.Caption, std::to_string(count));
                ASSERT_EQ(f.Label31.Caption, std::to_string(networks));
                ASSERT_EQ(f.Label61.Caption, std::to_string(prefix - classBits));
                if (classBits == 8 && networks > 65537) {
                    ASSERT_EQ(f.List1.entries(), std::vector<std::string>{kRefusal});
                    continue;
                }
                ASSERT_EQ(f.List1.ListCount(), networks);
                const std::uint32_t classNet = addr & maskOf(classBits);
                const std::uint32_t step = ~mask + 1;
                ASSERT_EQ(f.List1.List(0), ip(classNet));
                ASSERT_EQ(f.List1.List(networks - 1),
                          ip(classNet + static_cast<std::uint32_t>(networks - 1) * step));
                ASSERT_EQ(f.List1.ListIndex, static_cast<int>((net - classNet) / step));
                if (networks <= 1024) {
                    for (long long i = 0; i < networks; ++i)
                        ASSERT_EQ(f.List1.List(i),
                                  ip(classNet + static_cast<std::uint32_t>(i) * step));
                }
            }
        }
    }
    EXPECT_GT(runs, 223 * 24);
}

}  // namespace
