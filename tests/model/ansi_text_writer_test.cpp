// SPDX-License-Identifier: MIT
#include "platform/ansi_text_writer.h"

#include <gtest/gtest.h>

#include <string>

using sabrota::platform::AnsiTextWriter;

namespace {

struct EncodeCase {
    const char* name;
    std::string utf8;
    std::string cp932;
};

class Encode : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, BytesAndColumns) {
    const auto& c = GetParam();
    AnsiTextWriter w;
    w.write(c.utf8);
    EXPECT_EQ(w.bytes(), c.cp932);
    // Columns are the encoded bytes, so a double-byte character takes two.
    EXPECT_EQ(w.column(), c.cp932.size());
    EXPECT_EQ(AnsiTextWriter::encode(c.utf8), c.cp932);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932, Encode,
    testing::Values(
        EncodeCase{"ascii", "BIN,'11000000", "BIN,'11000000"}, EncodeCase{"empty", "", ""},
        EncodeCase{"katakana", "ホスト数", "\x83\x7a\x83\x58\x83\x67\x90\x94"},
        EncodeCase{"mixed", "2の6乗",
                   "2\x82\xcc"
                   "6\x8f\xe6"},
        EncodeCase{"fullwidth_tilde", "～", "\x81\x60"},
        EncodeCase{"division_sign", "÷", "\x81\x80"},
        EncodeCase{"ideographic_space", "Sabrota　Ver1.33", "Sabrota\x81\x40Ver1.33"},
        EncodeCase{"fullwidth_exclamation", "！", "\x81\x49"},
        EncodeCase{"halfwidth_katakana", "ﾎﾟ", "\xce\xdf"}, EncodeCase{"hangul", "한", "?"},
        EncodeCase{"emoji_between", "a😀b", "a?b"}, EncodeCase{"two_unencodable", "한😀", "??"},
        EncodeCase{"stray_continuation", "a\x80z", "a?z"}, EncodeCase{"bad_lead", "a\xffz", "a?z"},
        EncodeCase{"cut_sequence_then_ascii",
                   "\xe3\x81"
                   "A",
                   "?A"},
        EncodeCase{"cut_sequence_at_end", "ア\xe3\x81", "\x83\x41?"},
        EncodeCase{"cut_four_byte_then_kana",
                   "\xf0\x9f"
                   "ア",
                   "?\x83\x41"}),
    [](const testing::TestParamInfo<EncodeCase>& i) { return std::string(i.param.name); });

struct ZoneCase {
    std::string before;  // what the line holds when the step is due
    std::size_t blanks;
};

class Zone : public testing::TestWithParam<ZoneCase> {};

TEST_P(Zone, MovesToTheNextZone) {
    const auto& c = GetParam();
    AnsiTextWriter w;
    w.write(c.before);
    const std::size_t at = w.bytes().size();
    w.zone();
    EXPECT_EQ(w.bytes().substr(at), std::string(c.blanks, ' '));
    EXPECT_EQ(w.column() % 14, 0U);
    EXPECT_EQ(w.column(), at + c.blanks);
}

INSTANTIATE_TEST_SUITE_P(Steps, Zone,
                         testing::Values(ZoneCase{"", 14},                    // at 0: a whole zone
                                         ZoneCase{std::string(13, 'x'), 1},   // 13
                                         ZoneCase{std::string(14, 'x'), 14},  // exact multiple
                                         ZoneCase{std::string(27, 'x'), 1},   // 27
                                         ZoneCase{std::string(28, 'x'), 14},
                                         ZoneCase{"ホスト数,'", 4},       // 10 bytes
                                         ZoneCase{"サブネット数,'", 14},  // 14 bytes
                                         ZoneCase{"256÷64", 7}));         // 7 bytes

TEST(AnsiTextWriter, LineEndIsCrLfAndRestartsTheZones) {
    AnsiTextWriter w;
    w.write("BIN,'11000000");
    w.zone();
    w.write(",'10101000");
    w.zone();
    w.endLine();
    EXPECT_EQ(w.column(), 0U);
    w.write("ab");
    w.zone();
    w.endLine();
    w.endLine();
    EXPECT_EQ(w.bytes(), "BIN,'11000000 ,'10101000    \r\nab            \r\n\r\n");
}

TEST(AnsiTextWriter, ZonesCountDoubleByteColumns) {
    // Line 12 of the export after 192.168.1.130 /26.
    AnsiTextWriter w;
    w.write("ホスト数,'");
    w.zone();
    w.write("64-2");
    w.zone();
    w.write(",62台");
    w.zone();
    w.write(",2の6乗");
    w.endLine();
    const std::string expected =
        "\x83\x7a\x83\x58\x83\x67\x90\x94,'    64-2          ,62\x91\xe4         ,2\x82\xcc"
        "6\x8f\xe6\r\n";
    EXPECT_EQ(w.bytes(), expected);
}

TEST(AnsiTextWriter, ConsecutiveWritesKeepCounting) {
    AnsiTextWriter w;
    w.write("ア");
    w.write("a");
    EXPECT_EQ(w.column(), 3U);
    w.write("한");
    EXPECT_EQ(w.column(), 4U);
    w.zone();
    EXPECT_EQ(w.column(), 14U);
}

}  // namespace
