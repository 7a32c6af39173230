// SPDX-License-Identifier: MIT
// Code page 932 through Windows' own converter. The UTF-8 is decoded here rather than by
// MultiByteToWideChar so that a broken sequence becomes one "?" exactly as on POSIX.
#include <windows.h>

#include <cstdint>

#include "platform/code_page.h"

namespace sabrota::platform {

namespace {

// The code point of the well-formed sequence at s, or -1 (too short, overlong, a surrogate, or
// beyond U+10FFFF); n is set to its length.
std::int32_t decode(const unsigned char* s, std::size_t left, std::size_t& n) {
    const unsigned char lead = s[0];
    std::int32_t cp;
    std::int32_t least;
    if (lead >= 0xC2 && lead < 0xE0) {
        n = 2, cp = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        n = 3, cp = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        n = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return -1;
    }
    if (n > left)
        return -1;
    for (std::size_t i = 1; i < n; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
        return -1;
    return cp;
}

}  // namespace

std::string toCodePage932(std::string_view utf8) {
    // UTF-16 of the text, with "?" in place of each broken sequence and of each character
    // beyond the basic plane, for which code page 932 has no code.
    std::wstring wide;
    wide.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t at = 0;
    while (at < utf8.size()) {
        if (s[at] < 0x80) {
            wide.push_back(static_cast<wchar_t>(s[at++]));
            continue;
        }
        std::size_t n = 0;
        const std::int32_t cp = decode(s + at, utf8.size() - at, n);
        if (cp < 0) {
            at += sequenceLength(utf8.data() + at, utf8.size() - at);
            wide.push_back(L'?');
        } else {
            at += n;
            wide.push_back(cp > 0xFFFF ? L'?' : static_cast<wchar_t>(cp));
        }
    }
    if (wide.empty())
        return {};
    // Without best fit, a character with no code becomes the default "?" instead of a
    // look-alike.
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                          0, "?", nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), bytes, "?",
                            nullptr);
    return out;
}

}  // namespace sabrota::platform
