// SPDX-License-Identifier: MIT
#include "platform/number_parse.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace sabrota::numeric {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Checks the form by hand, so that nothing the C library would also take ("0x1A", "inf",
// "nan", locale digits) slips through, and then lets from_chars compute the value.
bool wellFormed(std::string_view s, std::string_view& core) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    core = s.substr(b, e - b);
    std::size_t i = 0;
    const std::size_t n = core.size();
    if (i < n && (core[i] == '+' || core[i] == '-'))
        ++i;
    std::size_t intDigits = 0, fracDigits = 0;
    while (i < n && isDigit(core[i])) {
        ++i;
        ++intDigits;
    }
    if (i < n && core[i] == '.') {
        ++i;
        while (i < n && isDigit(core[i])) {
            ++i;
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0)
        return false;
    if (i < n && (core[i] == 'e' || core[i] == 'E')) {
        ++i;
        if (i < n && (core[i] == '+' || core[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(core[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

// A well-formed unsigned number too large or too small for a double: infinity when its first
// significant digit stands at or left of the units, else zero.
double beyondDouble(std::string_view core) {
    long long exponent = 0;  // of the first significant digit, counted from the units
    bool significant = false;
    std::size_t i = 0;
    for (; i < core.size() && isDigit(core[i]); ++i) {
        if (significant)
            ++exponent;
        else if (core[i] != '0')
            significant = true;
    }
    if (i < core.size() && core[i] == '.')
        for (++i; i < core.size() && isDigit(core[i]); ++i) {
            if (significant)
                continue;
            --exponent;
            if (core[i] != '0')
                significant = true;
        }
    if (i < core.size()) {  // the exponent; it saturates long before it could overflow
        ++i;
        const bool down = core[i] == '-';
        if (core[i] == '+' || down)
            ++i;
        long long e = 0;
        for (; i < core.size(); ++i)
            e = std::min(e * 10 + (core[i] - '0'), 1'000'000'000LL);
        exponent += down ? -e : e;
    }
    return significant && exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

template <typename Int>
Converted<Int> toInteger(std::string_view text) {
    const auto v = parse(text);
    if (!v)
        return {Conversion::NotNumeric, 0};
    if (!std::isfinite(*v))
        return {Conversion::Overflow, 0};
    const double r = roundHalfEven(*v);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return {Conversion::Overflow, 0};
    return {Conversion::Ok, static_cast<Int>(r)};
}

}  // namespace

std::optional<double> parse(std::string_view text) {
    std::string_view core;
    if (!wellFormed(text, core))
        return std::nullopt;
    // from_chars reads "." as the decimal point whatever the process locale is (strtod would
    // take the locale's, a comma in many, once the toolkit has switched to the user's locale).
    // It takes no plus sign.
    const bool negative = core.front() == '-';
    if (core.front() == '+' || negative)
        core.remove_prefix(1);
    double v = 0;
    // Nearly every number the window reads is a plain whole number of a few digits. Up to 15
    // digits its value is exact as a double, so it is summed here, without a parser that
    // allocates or, in WebAssembly, computes in software long doubles.
    if (core.size() <= 15 && std::all_of(core.begin(), core.end(), isDigit)) {
        for (const char c : core)
            v = v * 10 + (c - '0');
        return negative ? -v : v;
    }
#if defined(__cpp_lib_to_chars)
    const auto [end, ec] = std::from_chars(core.data(), core.data() + core.size(), v);
    if (ec == std::errc::result_out_of_range)
        v = beyondDouble(core);
    else if (ec != std::errc() || end != core.data() + core.size())
        return std::nullopt;
#else
    // libc++ 13 (the WebAssembly build's) has no from_chars for double. Its C library, musl,
    // reads "." as the decimal point in every locale, so strtod reads the same there.
    const std::string copy(core);
    char* end = nullptr;
    errno = 0;
    v = std::strtod(copy.c_str(), &end);
    if (errno == ERANGE)
        v = beyondDouble(core);
    else if (end != copy.c_str() + copy.size())
        return std::nullopt;
#endif
    return negative ? -v : v;
}

bool isNumeric(std::string_view text) {
    std::string_view core;
    return wellFormed(text, core);
}

double roundHalfEven(double v) {
    double r = std::round(v);  // halves away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5)
        r = 2.0 * std::round(v / 2.0);
    return r;
}

Converted<std::int16_t> toInteger16(std::string_view text) {
    return toInteger<std::int16_t>(text);
}
Converted<std::int32_t> toInteger32(std::string_view text) {
    return toInteger<std::int32_t>(text);
}

}  // namespace sabrota::numeric
