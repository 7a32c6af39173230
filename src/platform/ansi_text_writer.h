// SPDX-License-Identifier: MIT
// Sequential text output as the export writes it: text in Windows code page 932, lines ended
// by CR LF, and steps to the next 14-column print zone. It writes into memory; the file store
// puts the finished bytes in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sabrota::platform {

// Whether the text is only ASCII, which code page 932 keeps as it is. A word at a time, the last
// one overlapping the one before: the export's texts are mostly entries of 7 to 15 digits and
// dots, each looked at once.
inline bool isAscii(std::string_view s) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::uint64_t seen = 0;
    if (n >= 8) {
        std::uint64_t word;
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            std::memcpy(&word, p + i, 8);
            seen |= word;
        }
        std::memcpy(&word, p + n - 8, 8);
        seen |= word;
    } else if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        seen = first | last;
    } else {
        for (std::size_t i = 0; i < n; ++i)
            seen |= static_cast<unsigned char>(p[i]);
    }
    return (seen & 0x8080808080808080ULL) == 0;
}

class AnsiTextWriter {
  public:
    AnsiTextWriter();
    ~AnsiTextWriter();
    AnsiTextWriter(const AnsiTextWriter&) = delete;
    AnsiTextWriter& operator=(const AnsiTextWriter&) = delete;

    // UTF-8 in; a character code page 932 has no code for becomes "?". ASCII is copied as it
    // is, here, without the converter: the export writes thousands of short entries.
    void write(std::string_view text) {
        if (isAscii(text))
            append(text);
        else
            writeConverted(text);
    }
    // Text already known to be ASCII (isAscii), copied as it is without looking at it again.
    void writeAscii(std::string_view ascii) { append(ascii); }
    // One ASCII character, such as the comma after an entry.
    void write(char ascii) {
        out_.push_back(ascii);
        ++column_;
    }
    // Columns are bytes of the encoded line, so a double-byte character counts as two, as the
    // desktop's file output counts them. A step always moves to the start of the next zone:
    // at an exact multiple of 14 it writes a whole zone of 14 blanks.
    void zone();
    void endLine() {
        out_.append("\r\n", 2);
        column_ = 0;
    }
    // Room for this many bytes in all, so that a long file is written without moving it.
    void reserve(std::size_t bytes);

    const std::string& bytes() const { return out_; }
    std::size_t column() const { return column_; }

    static std::string encode(std::string_view utf8);

  private:
    void append(std::string_view encoded) {
        out_.append(encoded);
        column_ += encoded.size();
    }
    void writeConverted(std::string_view text);
    std::string out_;
    std::size_t column_ = 0;
};

inline constexpr std::size_t kZoneWidth = 14;

}  // namespace sabrota::platform
