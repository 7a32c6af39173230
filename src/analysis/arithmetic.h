// SPDX-License-Identifier: MIT
// Whole-number arithmetic of the analysis: a result outside 32 bits is a run-time fault, and
// halvings and divisions go through double precision, rounded half to even.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/number_parse.h"
#include "window/form1.h"

namespace sabrota::arith {

inline std::int32_t checked(long long v) {
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        throw RunTimeError("overflow");
    return static_cast<std::int32_t>(v);
}

inline std::int32_t fromDouble(double v) {
    if (!std::isfinite(v))
        throw RunTimeError("overflow");
    const double r = numeric::roundHalfEven(v);
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        throw RunTimeError("overflow");
    return static_cast<std::int32_t>(r);
}

// a / b in double precision, back to 32 bits. Division by zero is a fault.
inline std::int32_t divide(double a, double b) {
    if (b == 0)
        throw RunTimeError("division by zero");
    return fromDouble(a / b);
}

// Halves count until it is 1 and returns how many halvings that took. Counts are powers of two
// up to 2^24; anything else would never reach 1, so the walk stops after 32 halvings.
inline std::int32_t halvingsToOne(std::int32_t& work) {
    std::int32_t halvings = 0;
    while (work != 1) {
        if (halvings >= 32)
            throw RunTimeError("count is no power of two");
        work = divide(work, 2);
        ++halvings;
    }
    return halvings;
}

}  // namespace sabrota::arith
