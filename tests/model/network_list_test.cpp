// SPDX-License-Identifier: MIT
// The network list that ends a calculation: its entries, their order, the class A limit and the
// highlighted own network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/texts.h"

namespace {

using sabrota::headless::HeadlessWindow;

const std::string& kRefusal = sabrota::test::kListRefusal;

struct ListCase {
    std::string a, b, c, d;
    int prefix;
    int size;
    std::vector<std::string> head;  // the first entries, in order
    std::string last;
    int selected;  // List1.ListIndex afterwards
};

TEST(NetworkList, Entries) {
    const ListCase cases[] = {
        {"192", "168", "1", "10", 24, 1, {"192.168.1.0"}, "192.168.1.0", 0},
        {"192",
         "168",
         "1",
         "10",
         26,
         4,
         {"192.168.1.0", "192.168.1.64", "192.168.1.128", "192.168.1.192"},
         "192.168.1.192",
         0},
        {"192",
         "168",
         "1",
         "10",
         31,
         128,
         {"192.168.1.0", "192.168.1.2", "192.168.1.4"},
         "192.168.1.254",
         5},
        {"172", "16", "5", "4", 16, 1, {"172.16.0.0"}, "172.16.0.0", 0},
        {"172",
         "16",
         "5",
         "4",
         18,
         4,
         {"172.16.0.0", "172.16.64.0", "172.16.128.0", "172.16.192.0"},
         "172.16.192.0",
         0},
        {"172",
         "16",
         "5",
         "4",
         25,
         512,
         {"172.16.0.0", "172.16.0.128", "172.16.1.0"},
         "172.16.255.128",
         10},
        {"172", "16", "5", "4", 31, 32768, {"172.16.0.0", "172.16.0.2"}, "172.16.255.254", 642},
        {"10", "1", "2", "3", 8, 1, {"10.0.0.0"}, "10.0.0.0", 0},
        {"10",
         "1",
         "2",
         "3",
         10,
         4,
         {"10.0.0.0", "10.64.0.0", "10.128.0.0", "10.192.0.0"},
         "10.192.0.0",
         0},
        {"10", "1", "2", "3", 24, 65536, {"10.0.0.0", "10.0.1.0", "10.0.2.0"}, "10.255.255.0", 258},
        {"10", "1", "2", "3", 25, 1, {kRefusal}, kRefusal, -1},
        {"10", "1", "2", "3", 31, 1, {kRefusal}, kRefusal, -1},
        {"010", "1", "2", "3", 8, 1, {"10.0.0.0"}, "10.0.0.0", 0},
        {"200", "7", "9", "77", 28, 16, {"200.7.9.0", "200.7.9.16"}, "200.7.9.240", 4},
        {"126", "255", "255", "255", 16, 256, {"126.0.0.0", "126.1.0.0"}, "126.255.0.0", 255},
        {"191", "255", "0", "1", 23, 128, {"191.255.0.0", "191.255.2.0"}, "191.255.254.0", 0},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.a + "." + c.b + "." + c.c + "." + c.d + " /" + std::to_string(c.prefix));
        HeadlessWindow w;
        w.calculate(c.a, c.b, c.c, c.d, w->Combo1.items[static_cast<std::size_t>(c.prefix - 8)]);
        ASSERT_EQ(w->List1.ListCount(), c.size);
        for (std::size_t i = 0; i < c.head.size(); ++i)
            EXPECT_EQ(w->List1.List(static_cast<long long>(i)), c.head[i]) << "entry " << i;
        EXPECT_EQ(w->List1.List(c.size - 1), c.last);
        EXPECT_EQ(w->List1.List(c.size), "");
        EXPECT_EQ(w->List1.ListIndex, c.selected);
        EXPECT_TRUE(w->Command3.Enabled);
        EXPECT_FALSE(w.clock.anyArmed());
        EXPECT_TRUE(w.box.shown.empty());
    }
}

// Every entry of the longest class B list, in ascending order with a fixed step.
TEST(NetworkList, LongClassBListAscends) {
    HeadlessWindow w;
    w.calculate("172.16.5.4", 31);
    const auto& e = w->List1.entries();
    ASSERT_EQ(e.size(), 32768u);
    std::size_t i = 0;
    for (int third = 0; third < 256; ++third)
        for (int fourth = 0; fourth < 256; fourth += 2)
            ASSERT_EQ(e[i++], "172.16." + std::to_string(third) + "." + std::to_string(fourth));
}

// The walks stop once there is nothing left to find, but leave their counters and octets as the
// full walks leave them: every pass counted, the octet past its last step.
TEST(NetworkList, WalksEndAsIfEveryPassWereMade) {
    struct Walk {
        std::string address;
        int prefix;
        int outer, counter, inner;  // listOuter, listCounter, listInner afterwards
        int octet3, octet4;         // listOctet3, listOctet4
    };
    const Walk cases[] = {
        {"192.168.1.10", 26, 0, 5, 0, 0, 256},
        {"172.16.5.4", 30, 0, 257, 65, 256, 256},
        {"172.16.5.4", 24, 0, 257, 2, 256, 256},
        {"10.1.2.3", 24, 257, 257, 2, 256, 256},
    };
    for (const Walk& c : cases) {
        SCOPED_TRACE(c.address + "/" + std::to_string(c.prefix));
        HeadlessWindow w;
        w.calculate(c.address, c.prefix);
        EXPECT_EQ(w->listOuter, c.outer);
        EXPECT_EQ(w->listCounter, c.counter);
        EXPECT_EQ(w->listInner, c.inner);
        EXPECT_EQ(w->listOctet3, c.octet3);
        EXPECT_EQ(w->listOctet4, c.octet4);
        // The network range's walk, 257 passes for each of the last three octets.
        EXPECT_EQ(w->passIndex, 257);
    }
}

TEST(NetworkList, SecondCalculateLeavesOnlyItsList) {
    HeadlessWindow w;
    w.calculate("10.1.2.3", 24);
    ASSERT_EQ(w->List1.ListCount(), 65536);
    w.calculate("192.168.1.10", 26);
    EXPECT_EQ(w->List1.entries(), (std::vector<std::string>{"192.168.1.0", "192.168.1.64",
                                                            "192.168.1.128", "192.168.1.192"}));
    EXPECT_EQ(w->List1.ListIndex, 0);
    // A run that stops before the list leaves it empty, with nothing highlighted.
    w.calculate("192", "168", "1", "x", w->Combo1.items[18]);
    EXPECT_EQ(w->List1.ListCount(), 0);
    EXPECT_EQ(w->List1.ListIndex, -1);
}

}  // namespace
