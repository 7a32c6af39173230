// SPDX-License-Identifier: MIT
// The whole run of 10.1.2.3 /24 (65,536 networks in the list, and the export's replay of it) on
// the headless window, timed the same way in the native build and in WebAssembly under node,
// so that the two can be set side by side. Prints the median of the repetitions in
// milliseconds. Google Benchmark has no WebAssembly build in Debian, hence a plain loop.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "headless/headless.h"

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 25;
    std::vector<double> ms;
    for (int i = 0; i < repetitions + 2; ++i) {
        sabrota::headless::HeadlessWindow w;
        const auto start = std::chrono::steady_clock::now();
        w.calculate("10.1.2.3", 24);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (w->List1.ListCount() != 65536)
            return 1;
        if (i >= 2)  // the first two warm the caches and, in node, the compiler
            ms.push_back(took.count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.3f\n", ms[ms.size() / 2]);
    return 0;
}
