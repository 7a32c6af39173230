// SPDX-License-Identifier: MIT
#include "platform/ansi_text_writer.h"

#include "platform/code_page.h"

namespace sabrota::platform {

AnsiTextWriter::AnsiTextWriter() = default;
AnsiTextWriter::~AnsiTextWriter() = default;

std::string AnsiTextWriter::encode(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    return toCodePage932(utf8);
}

void AnsiTextWriter::writeConverted(std::string_view text) {
    append(toCodePage932(text));
}

void AnsiTextWriter::reserve(std::size_t bytes) {
    out_.reserve(bytes);
}

void AnsiTextWriter::zone() {
    const std::size_t blanks = kZoneWidth - column_ % kZoneWidth;
    out_.append(blanks, ' ');
    column_ += blanks;
}

}  // namespace sabrota::platform
