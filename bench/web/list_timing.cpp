// SPDX-License-Identifier: MIT
// The whole run of 10.1.2.3 /24 (65,536 networks in the list, and the export's replay of it) on
// the headless window, timed the same way in the native build and in WebAssembly under node,
// so that the two can be set side by side. Prints the median of the repetitions in
// milliseconds. Google Benchmark has no WebAssembly build in Debian, hence a plain loop.
//
// Both builds first run for a while untimed. Native code is compiled before it starts; node
// compiles WebAssembly in tiers, first a quick translation and later, in the background, the
// optimised code, so timing its first runs would time the compiler rather than the program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "headless/headless.h"

namespace {
using Clock = std::chrono::steady_clock;

// One whole run in milliseconds, or a negative number when it did not list every network.
double timedRun() {
    sabrota::headless::HeadlessWindow w;
    const auto start = Clock::now();
    w.calculate("10.1.2.3", 24);
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    return w->List1.ListCount() == 65536 ? took.count() : -1.0;
}
}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 25;
    const double warmUpSeconds = argc > 2 ? std::atof(argv[2]) : 2.0;
    const auto warmUntil = Clock::now() + std::chrono::duration<double>(warmUpSeconds);
    do {
        if (timedRun() < 0)
            return 1;
    } while (Clock::now() < warmUntil);
    std::vector<double> ms;
    for (int i = 0; i < repetitions; ++i) {
        const double took = timedRun();
        if (took < 0)
            return 1;
        ms.push_back(took);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.3f\n", ms[ms.size() / 2]);
    return 0;
}
