// SPDX-License-Identifier: MIT
// Reading octet texts as numbers: which forms count as numbers, how they round, and what the
// address stage makes of each one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "headless/headless.h"
#include "platform/number_parse.h"

namespace {

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;
namespace numeric = sabrota::numeric;

enum class Read { Number, NotNumeric, Overflow16 };

struct ParseCase {
    std::string text;
    Read read;
    int value16;  // the 16-bit value where read is Number
};

const ParseCase kParseCases[] = {
    // Accepted forms.
    {"7", Read::Number, 7},
    {" 7 ", Read::Number, 7},
    {"  7", Read::Number, 7},
    {"7  ", Read::Number, 7},
    {"\t7", Read::Number, 7},
    {"+7", Read::Number, 7},
    {"-7", Read::Number, -7},
    {"-0", Read::Number, 0},
    {"007", Read::Number, 7},
    {"7.4", Read::Number, 7},
    {"7.6", Read::Number, 8},
    {"5.", Read::Number, 5},
    {".4", Read::Number, 0},
    {"1e2", Read::Number, 100},
    {"1E2", Read::Number, 100},
    {"1e+2", Read::Number, 100},
    {"25e-1", Read::Number, 2},
    {"-1e2", Read::Number, -100},
    // Halves go to the even neighbour.
    {"0.5", Read::Number, 0},
    {"1.5", Read::Number, 2},
    {"2.5", Read::Number, 2},
    {"3.5", Read::Number, 4},
    {"-0.5", Read::Number, 0},
    {"-1.5", Read::Number, -2},
    {"-2.5", Read::Number, -2},
    {"254.5", Read::Number, 254},
    {"255.5", Read::Number, 256},
    {"2.50001", Read::Number, 3},
    // The edges of 16 bits.
    {"32767", Read::Number, 32767},
    {"-32768", Read::Number, -32768},
    {"32766.5", Read::Number, 32766},
    {"32767.5", Read::Overflow16, 0},
    {"32768", Read::Overflow16, 0},
    {"-32769", Read::Overflow16, 0},
    {"1e5", Read::Overflow16, 0},
    {"-1e5", Read::Overflow16, 0},
    {"1e400", Read::Overflow16, 0},
    {"0.001e312", Read::Overflow16, 0},  // beyond a double, written with a fraction
    {"-1e400", Read::Overflow16, 0},
    // Too small for a double: zero.
    {"1e-400", Read::Number, 0},
    {"-1e-400", Read::Number, 0},
    {"100000e-330", Read::Number, 0},
    // Not numbers.
    {"", Read::NotNumeric, 0},
    {" ", Read::NotNumeric, 0},
    {"   ", Read::NotNumeric, 0},
    {"\xEF\xBC\x91\xEF\xBC\x92", Read::NotNumeric, 0},  // full-width 12
    {"1\xEF\xBC\x92", Read::NotNumeric, 0},             // 1 and a full-width 2
    {"1,000", Read::NotNumeric, 0},
    {"1,0", Read::NotNumeric, 0},
    {"$5", Read::NotNumeric, 0},
    {"\xC2\xA5"
     "5",
     Read::NotNumeric, 0},  // yen sign
    {"5$", Read::NotNumeric, 0},
    {"0x1", Read::NotNumeric, 0},
    {"0X1A", Read::NotNumeric, 0},
    {"&H1", Read::NotNumeric, 0},
    {"&O7", Read::NotNumeric, 0},
    {"5-", Read::NotNumeric, 0},
    {"5+", Read::NotNumeric, 0},
    {"(5)", Read::NotNumeric, 0},
    {"inf", Read::NotNumeric, 0},
    {"INF", Read::NotNumeric, 0},
    {"-inf", Read::NotNumeric, 0},
    {"Infinity", Read::NotNumeric, 0},
    {"nan", Read::NotNumeric, 0},
    {"NaN", Read::NotNumeric, 0},
    {"e5", Read::NotNumeric, 0},
    {"1e", Read::NotNumeric, 0},
    {"1e+", Read::NotNumeric, 0},
    {".", Read::NotNumeric, 0},
    {"-", Read::NotNumeric, 0},
    {"+", Read::NotNumeric, 0},
    {"+-1", Read::NotNumeric, 0},
    {"1 2", Read::NotNumeric, 0},
    {"1.2.3", Read::NotNumeric, 0},
    {"abc", Read::NotNumeric, 0},
    {"1a", Read::NotNumeric, 0},
    {"/24", Read::NotNumeric, 0},
    {"1.5e", Read::NotNumeric, 0},
};

TEST(NumberParse, FormsAndRounding) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(numeric::isNumeric(c.text), c.read != Read::NotNumeric);
        const auto v16 = numeric::toInteger16(c.text);
        switch (c.read) {
            case Read::Number:
                EXPECT_EQ(v16.status, numeric::Conversion::Ok);
                EXPECT_EQ(v16.value, c.value16);
                break;
            case Read::NotNumeric:
                EXPECT_EQ(v16.status, numeric::Conversion::NotNumeric);
                EXPECT_FALSE(numeric::parse(c.text).has_value());
                break;
            case Read::Overflow16:
                EXPECT_EQ(v16.status, numeric::Conversion::Overflow);
                break;
        }
    }
}

struct Wide {
    std::string text;
    std::optional<std::int32_t> value;  // nothing: overflow of 32 bits
};

TEST(NumberParse, ThirtyTwoBits) {
    const Wide cases[] = {
        {"1e5", 100000},
        {"32768", 32768},
        {"16777216", 16777216},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483646.5", 2147483646},
        {"2147483647.5", std::nullopt},
        {"2147483648", std::nullopt},
        {"1e10", std::nullopt},
    };
    for (const Wide& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = numeric::toInteger32(c.text);
        if (c.value) {
            EXPECT_EQ(v.status, numeric::Conversion::Ok);
            EXPECT_EQ(v.value, *c.value);
        } else {
            EXPECT_EQ(v.status, numeric::Conversion::Overflow);
        }
    }
}

// Whole numbers of up to 15 digits are summed directly, longer ones go to the parser: both give
// the exact double, the sign of a negative zero included.
TEST(NumberParse, WholeNumbersOnEitherSideOfFifteenDigits) {
    const std::pair<std::string, double> cases[] = {
        {"-999999999999999", -999999999999999.0},  // 15 digits, summed
        {"9007199254740993", 9007199254740992.0},  // 2^53 + 1, parsed, rounds to even
        {"0000000000000255", 255},                 // 16 characters, parsed
        {"-0", -0.0},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        const std::optional<double> v = numeric::parse(text);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, value);
        EXPECT_EQ(std::signbit(*v), std::signbit(value));
    }
}

TEST(NumberParse, HalfToEvenOnDoubles) {
    const std::pair<double, double> cases[] = {
        {0.5, 0},     {1.5, 2},   {2.5, 2},         {3.5, 4},
        {-0.5, 0},    {-2.5, -2}, {-3.5, -4},       {2.4, 2},
        {2.6, 3},     {-2.6, -3}, {1e6 + 0.5, 1e6}, {16777216, 16777216},
        {4.0, 4},     {-4.0, -4}, {0.49999999, 0},  {128.5, 128},
        {129.5, 130},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(numeric::roundHalfEven(in), out);
    }
}

// The same texts through the second address stage: a number in 0 … 255 is shown, any other
// number gets the out-of-range box, anything else the not-numeric box.
TEST(NumberParse, AsSecondOctet) {
    const Shown notNumeric{"半角の0～255で指定してください。", 48,
                           "第２オクテット：数字ではありません"};
    const Shown outOfRange{"範囲外です。0～255で指定してください。", 48,
                           "第２オクテット範囲外！！"};
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        HeadlessWindow w;
        w.calculate("192", c.text, "1", "1", w->Combo1.items[16]);
        if (c.read == Read::Number && c.value16 >= 0 && c.value16 <= 255) {
            EXPECT_TRUE(w.box.shown.empty());
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", c.value16);
            EXPECT_EQ(w->Label63.Caption, hex);
            EXPECT_EQ(w->Label31.Caption, "1");
        } else {
            ASSERT_EQ(w.box.shown.size(), 1u);
            EXPECT_EQ(w.box.shown[0], c.read == Read::NotNumeric ? notNumeric : outOfRange);
            EXPECT_EQ(w->Label63.Caption, "");
            EXPECT_FALSE(w.clock.armed(3));
        }
        EXPECT_FALSE(w.clock.anyArmed());
    }
}

}  // namespace
