#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The 10.1.2.3 /24 run natively and in WebAssembly under node, side by side.

Each program prints the median of its own repetitions. Under node one process in three or so
runs the very same WebAssembly about 1.7 times slower than the next from its first timed run to
its last (where node happened to place the compiled code, not what the program does; the native
processes do not show it). So this runs PROCESSES of each, interleaved, and gives the ratio of
the fastest processes, the program's own speed, and beside it the ratio of the medians.
Usage: list_ratio.py NATIVE WASM_JS [PROCESSES]
"""
import statistics
import subprocess
import sys

NATIVE, WASM = sys.argv[1], sys.argv[2]
PROCESSES = int(sys.argv[3]) if len(sys.argv) > 3 else 9
REPETITIONS = "25"

native, wasm = [], []
for _ in range(PROCESSES):
    native.append(float(subprocess.check_output([NATIVE, REPETITIONS])))
    wasm.append(float(subprocess.check_output(
        ["node", "--no-experimental-fetch", WASM, REPETITIONS])))
fastest_n, fastest_w = min(native), min(wasm)
n, w = statistics.median(native), statistics.median(wasm)
print(f"10.1.2.3 /24 run, fastest of {PROCESSES} processes: {fastest_w:.3f} ms under node against "
      f"{fastest_n:.3f} ms native: {fastest_w / fastest_n:.3f}x "
      f"(medians: {w:.3f} against {n:.3f} ms, {w / n:.3f}x)")
