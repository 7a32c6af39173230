// SPDX-License-Identifier: MIT
// The list box's storage: every entry in one character buffer with offsets. Each case runs a
// script of changes on a list box and on a plain vector of strings side by side; after every
// step the list box must read exactly as the vector, also at and past both ends.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/texts.h"
#include "window/controls.h"

namespace {

using sabrota::ListBox;
using sabrota::ListBoxObserver;

enum class Op { Add, Fill, Clear, Reserve };

struct Step {
    Op op;
    std::vector<std::string> texts;  // Add: one AddItem each; Fill: one filler for all
};

struct StorageCase {
    const char* what;
    std::vector<Step> steps;
};

// n dotted networks 10.x.y.0, made here the plain way.
std::vector<std::string> networks(int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back("10." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ".0");
    return out;
}

void fill(ListBox& list, const std::vector<std::string>& texts) {
    ListBox::Filler f(list);
    for (const std::string& t : texts)
        f.add(t.size(), [&t](char* room) {
            std::memcpy(room, t.data(), t.size());
            return room + t.size();
        });
}

void expectSame(const ListBox& list, const std::vector<std::string>& want, const std::string& at) {
    ASSERT_EQ(list.ListCount(), static_cast<int>(want.size())) << at;
    std::string all;
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(list.List(static_cast<long long>(i)), want[i]) << at << ", entry " << i;
        all += want[i];
    }
    EXPECT_EQ(list.text(), all) << at;
    EXPECT_EQ(list.entries(), want) << at;
    const long long n = list.ListCount();
    for (long long past : {-1LL, -2LL, LLONG_MIN, n, n + 1, LLONG_MAX})
        EXPECT_EQ(list.List(past), "") << at << ", index " << past;
}

TEST(ListBoxStorage, ReadsAsAPlainListOfStrings) {
    const std::string refusal = sabrota::test::kListRefusal;
    const std::string longest = "255.255.255.255";
    const StorageCase cases[] = {
        {"entries of different lengths, empty ones too",
         {{Op::Add, {"", "1", "10.0.0.0", longest, refusal, "", "192.168.1.0"}}}},
        {"the refusal alone, as the list makes it", {{Op::Fill, {refusal}}}},
        {"the refusal after a full list was cleared",
         {{Op::Fill, networks(65536)}, {Op::Clear, {}}, {Op::Fill, {refusal}}}},
        {"clear, then shorter entries",
         {{Op::Add, {longest, longest, refusal}}, {Op::Clear, {}}, {Op::Add, {"a", ""}}}},
        {"clear, then longer entries",
         {{Op::Add, {"1", "2"}}, {Op::Clear, {}}, {Op::Add, {refusal, longest, refusal}}}},
        {"clear twice, then nothing", {{Op::Add, {"x"}}, {Op::Clear, {}}, {Op::Clear, {}}}},
        {"added entries, then a filler after them",
         {{Op::Add, {"172.16.0.0", ""}}, {Op::Fill, {"172.16.4.0", longest, ""}}}},
        {"a filler, then added entries", {{Op::Fill, {"a", "bc"}}, {Op::Add, {"def", refusal}}}},
        {"a filler of nothing", {{Op::Add, {"a"}}, {Op::Fill, {}}}},
        {"room made for fewer than come", {{Op::Reserve, {"2", "3"}}, {Op::Fill, networks(1000)}}},
        {"room made for more than come", {{Op::Reserve, {"70000", "2000000"}}, {Op::Add, {"a"}}}},
        {"65,536 entries added one by one from nothing", {{Op::Add, networks(65536)}}},
        {"65,536 entries by one filler from nothing", {{Op::Fill, networks(65536)}}},
        {"65,536 entries, cleared, 65,536 again",
         {{Op::Fill, networks(65536)}, {Op::Clear, {}}, {Op::Add, networks(65536)}}},
    };
    for (const StorageCase& c : cases) {
        ListBox list;
        std::vector<std::string> want;
        int step = 0;
        for (const Step& s : c.steps) {
            switch (s.op) {
                case Op::Add:
                    for (const std::string& t : s.texts)
                        list.AddItem(t);
                    want.insert(want.end(), s.texts.begin(), s.texts.end());
                    break;
                case Op::Fill:
                    fill(list, s.texts);
                    want.insert(want.end(), s.texts.begin(), s.texts.end());
                    break;
                case Op::Clear:
                    list.Clear();
                    want.clear();
                    break;
                case Op::Reserve:
                    list.reserve(std::stoul(s.texts[0]), std::stoul(s.texts[1]));
                    break;
            }
            expectSame(list, want, std::string(c.what) + ", step " + std::to_string(++step));
        }
    }
}

TEST(ListBoxStorage, EveryChangeMovesTheRevisionAndClearDropsTheHighlight) {
    ListBox list;
    auto last = list.revision();
    const auto moved = [&] {
        const bool m = list.revision() != last;
        last = list.revision();
        return m;
    };
    list.AddItem("a");
    EXPECT_TRUE(moved());
    fill(list, {"b", "c"});
    EXPECT_TRUE(moved());
    fill(list, {});
    EXPECT_FALSE(moved());
    list.ListIndex = 2;
    list.Clear();
    EXPECT_TRUE(moved());
    EXPECT_EQ(list.ListIndex, -1);
}

struct Heard : ListBoxObserver {
    std::string heard;
    const ListBox* list = nullptr;
    std::vector<int> countsAtReset;
    void aboutToReset() override { heard += "["; }
    void reset() override {
        heard += "]";
        countsAtReset.push_back(list->ListCount());
    }
    void aboutToAppend(int row) override { heard += "+" + std::to_string(row); }
    void appended() override { heard += "."; }
};

// A fault in the middle of a filling (the list grown too long, say) keeps what was added before
// it, and a view hears one reset at whose end the list already holds those entries.
TEST(ListBoxStorage, AFillerEndedByAFaultKeepsItsEntriesAndIsOneReset) {
    ListBox list;
    Heard h;
    h.list = &list;
    list.setObserver(&h);
    list.AddItem("first");
    try {
        ListBox::Filler f(list);
        for (const std::string_view t : {"10.0.0.0", "10.0.1.0", "10.0.2.0"})
            f.add(t.size(), [&t](char* room) {
                std::memcpy(room, t.data(), t.size());
                return room + t.size();
            });
        EXPECT_EQ(f.last(), "10.0.2.0");
        EXPECT_EQ(f.count(), 4);
        throw std::runtime_error("list too long");
    } catch (const std::runtime_error&) {
    }
    list.setObserver(nullptr);
    EXPECT_EQ(h.heard, "+0.[]");
    EXPECT_EQ(h.countsAtReset, std::vector<int>{4});
    expectSame(list, {"first", "10.0.0.0", "10.0.1.0", "10.0.2.0"}, "after the fault");
}

}  // namespace
