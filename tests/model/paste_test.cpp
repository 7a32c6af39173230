// SPDX-License-Identifier: MIT
// A whole address pasted into an octet box fills the four boxes and, with a prefix or a dotted
// mask after it, selects the mask; anything else is left to the box.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "headless/headless.h"

namespace {

using sabrota::maskItems;
using sabrota::headless::HeadlessWindow;

constexpr int kUnchanged = -2;  // the mask stays as it was before the paste

struct PasteCase {
    std::string text;
    bool taken;
    std::array<const char*, 4> octets;  // where taken
    int prefix;                         // the selected item's prefix length, or kUnchanged
};

const PasteCase kCases[] = {
    // An address alone leaves the mask.
    {"192.168.1.130", true, {"192", "168", "1", "130"}, kUnchanged},
    {"  10.0.0.1 \n", true, {"10", "0", "0", "1"}, kUnchanged},
    {"\t172.16.254.3\r\n", true, {"172", "16", "254", "3"}, kUnchanged},
    {"0.0.0.0", true, {"0", "0", "0", "0"}, kUnchanged},
    {"255.255.255.255", true, {"255", "255", "255", "255"}, kUnchanged},
    {"010.001.000.009", true, {"010", "001", "000", "009"}, kUnchanged},
    // The first octet is judged by the calculation, as when it is typed.
    {"224.1.2.3", true, {"224", "1", "2", "3"}, kUnchanged},
    {"127.0.0.1", true, {"127", "0", "0", "1"}, kUnchanged},
    // A prefix length.
    {"192.168.1.130/26", true, {"192", "168", "1", "130"}, 26},
    {"192.168.1.130 /26", true, {"192", "168", "1", "130"}, 26},
    {"10.1.2.3/8", true, {"10", "1", "2", "3"}, 8},
    {"10.1.2.3/31", true, {"10", "1", "2", "3"}, 31},
    {"10.1.2.3/09", true, {"10", "1", "2", "3"}, 9},
    // A dotted mask, by its value, with or without the item's own prefix after it.
    {"192.168.1.130 255.255.255.192", true, {"192", "168", "1", "130"}, 26},
    {"192.168.1.130\t255.255.255.192", true, {"192", "168", "1", "130"}, 26},
    {"192.168.1.130 255.255.0.0", true, {"192", "168", "1", "130"}, 16},
    {"192.168.1.130 255.000.000.000", true, {"192", "168", "1", "130"}, 8},
    {"192.168.1.130 255.255.255.254", true, {"192", "168", "1", "130"}, 31},
    {"192.168.1.130 255.255.255.192    /26", true, {"192", "168", "1", "130"}, 26},
    {"192.168.1.130 255.255.255.192/26", true, {"192", "168", "1", "130"}, 26},
    // Not a whole address, or a mask the list does not hold: the box pastes as typing.
    {"", false, {}, kUnchanged},
    {"192", false, {}, kUnchanged},
    {"192.168", false, {}, kUnchanged},
    {"192.168.1", false, {}, kUnchanged},
    {"192.168.1.", false, {}, kUnchanged},
    {"192.168.1.130.", false, {}, kUnchanged},
    {"192.168.1.130.5", false, {}, kUnchanged},
    {"192.168.1.256", false, {}, kUnchanged},
    {"192.168.1.1300", false, {}, kUnchanged},
    {"192.168.1.0130", false, {}, kUnchanged},
    {"192.168..130", false, {}, kUnchanged},
    {"192,168,1,130", false, {}, kUnchanged},
    {"192.168.1.-1", false, {}, kUnchanged},
    {"+192.168.1.130", false, {}, kUnchanged},
    {"192.168.1.130a", false, {}, kUnchanged},
    {"192.168.1.130 x", false, {}, kUnchanged},
    {"192 168 1 130", false, {}, kUnchanged},
    {"192.168.1.130/7", false, {}, kUnchanged},
    {"192.168.1.130/32", false, {}, kUnchanged},
    {"192.168.1.130/0", false, {}, kUnchanged},
    {"192.168.1.130/", false, {}, kUnchanged},
    {"192.168.1.130/026", false, {}, kUnchanged},
    {"192.168.1.130/ 26", false, {}, kUnchanged},
    {"192.168.1.130/26/27", false, {}, kUnchanged},
    {"192.168.1.130 /26 255.255.255.192", false, {}, kUnchanged},
    {"192.168.1.130 255.255.255.193", false, {}, kUnchanged},  // not contiguous
    {"192.168.1.130 0.255.255.255", false, {}, kUnchanged},
    {"192.168.1.130 255.255.255.255", false, {}, kUnchanged},  // /32, not in the list
    {"192.168.1.130 254.0.0.0", false, {}, kUnchanged},        // /7
    {"192.168.1.130 255.255.255.192 /25", false, {}, kUnchanged},
    {"192.168.1.130 255.255.255", false, {}, kUnchanged},
    {"192.168.1.130.255.255.255.0", false, {}, kUnchanged},
    {"\xEF\xBC\x91\xEF\xBC\x99\xEF\xBC\x92.168.1.130", false, {}, kUnchanged},  // full-width
    {"http://192.168.1.130/", false, {}, kUnchanged},
};

TEST(PasteAddress, FillsTheBoxesOrLeavesThem) {
    const std::array<const char*, 4> before = {"9", "8", "7", "6"};
    constexpr int kBeforeIndex = 3;
    for (const PasteCase& c : kCases) {
        SCOPED_TRACE("pasted \"" + c.text + "\"");
        HeadlessWindow w;
        w.enter("9.8.7.6", 8 + kBeforeIndex);
        EXPECT_EQ(w->pasteAddress(c.text), c.taken);
        const auto& want = c.taken ? c.octets : before;
        EXPECT_EQ(w->Text1.Text, want[0]);
        EXPECT_EQ(w->Text2.Text, want[1]);
        EXPECT_EQ(w->Text3.Text, want[2]);
        EXPECT_EQ(w->Text4.Text, want[3]);
        const int index = c.prefix == kUnchanged ? kBeforeIndex : c.prefix - 8;
        EXPECT_EQ(w->Combo1.ListIndex(), index);
        EXPECT_EQ(w->Combo1.Text, maskItems()[static_cast<std::size_t>(index)]);
        EXPECT_TRUE(w.box.shown.empty());
        EXPECT_FALSE(w.clock.anyArmed());
    }
}

// A pasted address calculates exactly as the same address typed and chosen by hand.
TEST(PasteAddress, CalculatesAsTyped) {
    HeadlessWindow pasted, typed;
    ASSERT_TRUE(pasted->pasteAddress("192.168.1.130 255.255.255.192"));
    pasted->CMD1_Click();
    pasted.clock.runUntilIdle();
    typed.calculate("192.168.1.130", 26);
    for (const auto& d : sabrota::designTable()) {
        SCOPED_TRACE(std::string(d.name) + "(" + std::to_string(d.index) + ")");
        EXPECT_EQ(pasted->control(d.id, d.index).Caption, typed->control(d.id, d.index).Caption);
    }
    EXPECT_EQ(pasted->List1.entries(), typed->List1.entries());
    EXPECT_EQ(pasted->List1.ListIndex, typed->List1.ListIndex);
    EXPECT_EQ(pasted.exportCsv(), typed.exportCsv());
}

}  // namespace
