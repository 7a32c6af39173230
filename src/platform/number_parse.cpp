#include "platform/number_parse.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace sabrota::numeric {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Checks the form by hand, so that nothing the C library would also take ("0x1A", "inf",
// "nan", locale digits) slips through, and then lets strtod compute the value.
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
    const std::string copy(core);
    // strtod reads the decimal point of the C locale, which is the one the form above checked.
    return std::strtod(copy.c_str(), nullptr);
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
