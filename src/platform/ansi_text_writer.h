// Sequential text output as the export writes it: text in Windows code page 932, lines ended
// by CR LF, and steps to the next 14-column print zone. It writes into memory; the file store
// puts the finished bytes in place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sabrota::platform {

class AnsiTextWriter {
  public:
    AnsiTextWriter();
    ~AnsiTextWriter();
    AnsiTextWriter(const AnsiTextWriter&) = delete;
    AnsiTextWriter& operator=(const AnsiTextWriter&) = delete;

    // UTF-8 in; a character code page 932 has no code for becomes "?".
    void write(std::string_view text);
    // Columns are bytes of the encoded line, so a double-byte character counts as two, as the
    // desktop's file output counts them. A step always moves to the start of the next zone:
    // at an exact multiple of 14 it writes a whole zone of 14 blanks.
    void zone();
    void endLine();
    // Room for this many bytes in all, so that a long file is written without moving it.
    void reserve(std::size_t bytes);

    const std::string& bytes() const { return out_; }
    std::size_t column() const { return column_; }

    static std::string encode(std::string_view utf8);

  private:
    void append(std::string_view encoded);
    std::string out_;
    std::size_t column_ = 0;
};

inline constexpr std::size_t kZoneWidth = 14;

}  // namespace sabrota::platform
