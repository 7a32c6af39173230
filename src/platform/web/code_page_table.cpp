// SPDX-License-Identifier: MIT
// Code page 932 in the WebAssembly build, from a table made at build time out of Python's cp932
// codec: neither the browser nor the build's C library converts to it.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/code_page.h"

namespace sabrota::platform {

namespace {

struct Entry {
    std::uint16_t character;
    std::uint16_t code;
};

constexpr Entry kTable[] = {
#include "cp932_table.inc"
};

// The character of the whole UTF-8 sequence at s, or nothing (-1) for a broken one, a
// surrogate, an overlong form or a character beyond the Basic Multilingual Plane, none of
// which code page 932 has.
long decode(const unsigned char* s, std::size_t left, std::size_t& used) {
    const unsigned lead = s[0];
    std::size_t n = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 0;
    if (n == 0 || n > left)
        return -1;
    long c = n == 1 ? lead : n == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (std::size_t i = 1; i < n; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (s[i] & 0x3F);
    }
    if ((n == 3 && c < 0x800) || (c >= 0xD800 && c <= 0xDFFF))
        return -1;
    used = n;
    return c;
}

}  // namespace

std::string toCodePage932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t used = 0;
        const long c = decode(s + i, utf8.size() - i, used);
        if (c >= 0 && c < 0x80) {
            out += static_cast<char>(c);
            i += used;
            continue;
        }
        const auto* e =
            c < 0 ? std::end(kTable)
                  : std::lower_bound(std::begin(kTable), std::end(kTable), c,
                                     [](const Entry& x, long v) { return x.character < v; });
        if (e != std::end(kTable) && e->character == c) {
            if (e->code > 0xFF)
                out += static_cast<char>(e->code >> 8);
            out += static_cast<char>(e->code & 0xFF);
            i += used;
            continue;
        }
        // No code for this character, or not UTF-8 at all: one "?" for the sequence.
        out += '?';
        i += sequenceLength(utf8.data() + i, utf8.size() - i);
    }
    return out;
}

}  // namespace sabrota::platform
