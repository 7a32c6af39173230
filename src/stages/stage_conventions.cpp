// SPDX-License-Identifier: MIT
#include "stages/stage_conventions.h"

namespace sabrota {

std::string hex2(int value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s;
    if (value > 0xFF) {
        // Not reached with octets; written in full rather than cut.
        for (int v = value; v > 0; v /= 16)
            s.insert(s.begin(), digits[v % 16]);
        return s;
    }
    s += digits[(value >> 4) & 0xF];
    s += digits[value & 0xF];
    return s;
}

std::string midChars(std::string_view text, std::size_t start, std::size_t count) {
    // Byte offset where each character begins; a stray continuation byte counts as one.
    auto next = [&](std::size_t pos) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const std::size_t len = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        return pos + len < text.size() ? pos + len : text.size();
    };
    std::size_t pos = 0;
    for (std::size_t c = 1; c < start && pos < text.size(); ++c)
        pos = next(pos);
    const std::size_t from = pos;
    for (std::size_t c = 0; c < count && pos < text.size(); ++c)
        pos = next(pos);
    return std::string(text.substr(from, pos - from));
}

}  // namespace sabrota
