// SPDX-License-Identifier: MIT
// The IPv4 rules the stages, the paste and the classification share, row by row.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>

#include "analysis/ipv4_rules.h"

namespace {

using sabrota::ipv4::AddressClass;

TEST(Ipv4Rules, Masks) {
    struct Row {
        const char* name;
        std::array<int, 4> octets;
        std::optional<std::uint32_t> mask;
        bool contiguous;
        int prefix;
    };
    const Row rows[] = {
        {"shortest item", {255, 0, 0, 0}, 0xFF000000u, true, 8},
        {"class C /26", {255, 255, 255, 192}, 0xFFFFFFC0u, true, 26},
        {"longest item", {255, 255, 255, 254}, 0xFFFFFFFEu, true, 31},
        {"all ones", {255, 255, 255, 255}, 0xFFFFFFFFu, true, 32},
        {"no ones", {0, 0, 0, 0}, 0u, true, 0},
        {"hole in the middle", {255, 0, 255, 0}, 0xFF00FF00u, false, 16},
        {"a stray low bit", {255, 255, 255, 1}, 0xFFFFFF01u, false, 25},
        {"ones at the bottom", {0, 0, 0, 255}, 0x000000FFu, false, 8},
        {"256 in the fourth", {255, 255, 255, 256}, std::nullopt, false, 0},
        {"negative first", {-1, 255, 255, 0}, std::nullopt, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto mask = sabrota::ipv4::fromOctets(r.octets);
        EXPECT_EQ(mask, r.mask);
        if (!mask)
            continue;
        EXPECT_EQ(sabrota::ipv4::contiguous(*mask), r.contiguous);
        EXPECT_EQ(sabrota::ipv4::prefixLength(*mask), r.prefix);
    }
}

TEST(Ipv4Rules, ClassRanges) {
    struct Row {
        const char* name;
        int first;
        AddressClass cls;
        int naturalOctets;
    };
    const Row rows[] = {
        {"zero, as the stages compare", 0, AddressClass::A, 1},
        {"A's lowest", 1, AddressClass::A, 1},
        {"A's highest", 126, AddressClass::A, 1},
        {"loopback", 127, AddressClass::Loopback, 4},
        {"B's lowest", 128, AddressClass::B, 2},
        {"B's highest", 191, AddressClass::B, 2},
        {"C's lowest", 192, AddressClass::C, 3},
        {"C's highest", 223, AddressClass::C, 3},
        {"beyond C", 224, AddressClass::None, 4},
        {"negative, as the stages compare", -5, AddressClass::A, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(sabrota::ipv4::classOf(r.first), r.cls);
        EXPECT_EQ(sabrota::ipv4::naturalMaskOctets(r.cls), r.naturalOctets);
    }
}

}  // namespace
