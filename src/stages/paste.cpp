// SPDX-License-Identifier: MIT
// A whole address pasted into an octet box: "192.168.1.130", "192.168.1.130/26" or
// "192.168.1.130 255.255.255.192". Its octets go into the four boxes and a prefix or mask
// after it selects the list's item, so the user need not split the address by hand.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "analysis/ipv4_rules.h"
#include "window/form1.h"

namespace sabrota {

namespace {

constexpr int kShortestPrefix = 8;  // the list's first item, "/8"

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void skipBlanks(std::string_view& s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
}

// One to three digits worth at most limit, taken off the front of s.
std::optional<std::string_view> number(std::string_view& s, int limit) {
    std::size_t n = 0;
    int value = 0;
    while (n < s.size() && n < 3 && isDigit(s[n]))
        value = value * 10 + (s[n++] - '0');
    if (n == 0 || value > limit || (n < s.size() && isDigit(s[n])))
        return std::nullopt;
    const std::string_view digits = s.substr(0, n);
    s.remove_prefix(n);
    return digits;
}

// Four dotted octets off the front of s, each as it was written.
std::optional<std::array<std::string_view, 4>> dotted(std::string_view& s) {
    std::array<std::string_view, 4> octets;
    for (std::size_t k = 0; k < 4; ++k) {
        if (k > 0) {
            if (s.empty() || s.front() != '.')
                return std::nullopt;
            s.remove_prefix(1);
        }
        const auto o = number(s, 255);
        if (!o)
            return std::nullopt;
        octets[k] = *o;
    }
    return octets;
}

int value(std::string_view digits) {
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// The prefix length of a mask of contiguous ones, or nothing.
std::optional<int> prefixOf(const std::array<std::string_view, 4>& octets) {
    const auto mask =
        ipv4::fromOctets({value(octets[0]), value(octets[1]), value(octets[2]), value(octets[3])});
    if (!mask || !ipv4::contiguous(*mask))
        return std::nullopt;
    return ipv4::prefixLength(*mask);
}

// "/n" off the front of s.
std::optional<int> slashPrefix(std::string_view& s) {
    if (s.empty() || s.front() != '/')
        return std::nullopt;
    s.remove_prefix(1);
    const auto n = number(s, 99);
    if (!n || n->size() > 2)
        return std::nullopt;
    return value(*n);
}

}  // namespace

bool Form1::pasteAddress(std::string_view text) {
    std::string_view s = text;
    skipBlanks(s);
    const auto address = dotted(s);
    if (!address)
        return false;
    std::optional<int> prefix;
    const bool blankBefore = !s.empty() && isBlank(s.front());
    skipBlanks(s);
    if (!s.empty() && s.front() == '/') {
        prefix = slashPrefix(s);
        if (!prefix)
            return false;
    } else if (!s.empty()) {
        // A dotted mask, apart from the address, and perhaps its own prefix after it, as the
        // list's items show both.
        const auto mask = blankBefore ? dotted(s) : std::nullopt;
        prefix = mask ? prefixOf(*mask) : std::nullopt;
        if (!prefix)
            return false;
        skipBlanks(s);
        if (!s.empty() && slashPrefix(s) != prefix)
            return false;
    }
    skipBlanks(s);
    if (!s.empty() ||
        (prefix && (*prefix < kShortestPrefix || *prefix >= kShortestPrefix + kMaskItemCount)))
        return false;

    Control* boxes[] = {&Text1, &Text2, &Text3, &Text4};
    for (std::size_t k = 0; k < 4; ++k)
        boxes[k]->Text = std::string((*address)[k]);
    if (prefix)
        Combo1.setListIndex(*prefix - kShortestPrefix);
    return true;
}

}  // namespace sabrota
