// SPDX-License-Identifier: MIT
// Arbitrary bytes through the number reading of the input stages: it never crashes, the test
// and the reading agree, and a conversion is Ok exactly when the rounded value fits.
#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "platform/number_parse.h"

namespace {

using sabrota::numeric::Conversion;

[[noreturn]] void fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_number: %s for \"%.*s\"\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

// Rounding to nearest with ties to even, as the floating-point unit does it by default.
double nearestEven(double v) {
    std::fesetround(FE_TONEAREST);
    return std::nearbyint(v);
}

template <typename Int, typename Converted>
void checkConversion(std::string_view text, const std::optional<double>& parsed, Converted c) {
    if (!parsed) {
        if (c.status != Conversion::NotNumeric || c.value != 0)
            fail("non-number converted", text);
        return;
    }
    if (c.status == Conversion::NotNumeric)
        fail("number reported as not numeric", text);
    const double r = nearestEven(*parsed);
    const bool fits = std::isfinite(r) &&
                      r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
                      r <= static_cast<double>(std::numeric_limits<Int>::max());
    if (fits) {
        if (c.status != Conversion::Ok)
            fail("value within the limits reported as overflow", text);
        if (static_cast<double>(c.value) != r)
            fail("converted value is not the half-to-even rounding", text);
    } else {
        if (c.status != Conversion::Overflow || c.value != 0)
            fail("value outside the limits not reported as overflow", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const bool numeric = sabrota::numeric::isNumeric(text);
    const auto parsed = sabrota::numeric::parse(text);
    if (numeric != parsed.has_value())
        fail("isNumeric and parse disagree", text);
    if (parsed && std::isnan(*parsed))
        fail("a number read as NaN", text);

    checkConversion<std::int16_t>(text, parsed, sabrota::numeric::toInteger16(text));
    checkConversion<std::int32_t>(text, parsed, sabrota::numeric::toInteger32(text));

    if (parsed && std::isfinite(*parsed) &&
        sabrota::numeric::roundHalfEven(*parsed) != nearestEven(*parsed))
        fail("roundHalfEven differs from ties-to-even", text);

    // Blanks around a number change nothing; a letter after one always spoils it.
    const std::string padded = " " + std::string(text) + "\t";
    const auto paddedValue = sabrota::numeric::parse(padded);
    if (paddedValue.has_value() != parsed.has_value() ||
        (parsed && !(*paddedValue == *parsed || (std::isnan(*paddedValue) && std::isnan(*parsed)))))
        fail("surrounding blanks change the reading", text);
    if (sabrota::numeric::isNumeric(std::string(text) + "x"))
        fail("a trailing letter is accepted", text);
    return 0;
}
