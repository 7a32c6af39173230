// SPDX-License-Identifier: MIT
// Random picks that are the same on every standard library: std::mt19937's output is fixed by
// the C++ standard, but the distributions of <random> are not (libstdc++ and libc++ draw other
// numbers from the same generator), so the reduction to a range is done here.
#pragma once

#include <cstdint>
#include <random>

namespace sabrota::test {

class Draw {
  public:
    explicit Draw(std::uint32_t seed) : generator_(seed) {}
    // 0 … n - 1, each as likely as the others: draws past the last whole multiple of n are
    // drawn again.
    int below(int n) {
        const auto range = static_cast<std::uint32_t>(n);
        const std::uint32_t limit = UINT32_MAX - UINT32_MAX % range;
        std::uint32_t x = 0;
        do
            x = static_cast<std::uint32_t>(generator_());
        while (x >= limit);
        return static_cast<int>(x % range);
    }
    // lo … hi, both included.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

  private:
    std::mt19937 generator_;
};

}  // namespace sabrota::test
