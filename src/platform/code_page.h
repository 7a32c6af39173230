// SPDX-License-Identifier: MIT
// Conversion of UTF-8 text to Windows code page 932, the code page the export writes. Each
// system converts with its own library: glibc's iconv on POSIX, WideCharToMultiByte on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sabrota::platform {

// UTF-8 in, code page 932 out. A character that code page 932 has no code for, and a sequence
// that is not UTF-8, each become one "?"; the characters after it are kept.
std::string toCodePage932(std::string_view utf8);

// The bytes of the broken or unencodable sequence at s (left bytes remain): its lead byte and
// the continuation bytes that follow it, no more than the lead announces, so that the next
// character survives.
inline std::size_t sequenceLength(const char* s, std::size_t left) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t n = 1;
    while (n < announced && n < left && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

}  // namespace sabrota::platform
