// SPDX-License-Identifier: MIT
// Reading a text as a number the way the input stages do: blanks around it, a leading sign, a
// decimal point with a fraction and an exponent are accepted; the value is rounded to the
// nearest integer, a half to the even neighbour.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sabrota::numeric {

// The whole text is one number ("  7 ", "-1", "2.5", "1e2", ".5"). Full-width digits, thousands
// separators, currency signs, hexadecimal or octal prefixes and trailing signs are not.
bool isNumeric(std::string_view text);

// The value of a numeric text, or nothing.
std::optional<double> parse(std::string_view text);

enum class Conversion { Ok, NotNumeric, Overflow };

template <typename Int>
struct Converted {
    Conversion status;
    Int value;  // 0 unless status is Ok
};

// Rounded half to even, then held in 16 or 32 bits; a value that does not fit is an overflow.
Converted<std::int16_t> toInteger16(std::string_view text);
Converted<std::int32_t> toInteger32(std::string_view text);

// Half to even rounding of a double already known to be finite.
double roundHalfEven(double v);

}  // namespace sabrota::numeric
