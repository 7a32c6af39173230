#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the Qt benchmarks with a private Xvfb server, so the X11 start-up figure is measured too.
#   bench/qt/startup_xvfb.sh <build-dir> [benchmark options]
set -eu
build=${1:?build directory}
shift
exec 3>/dev/null
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT INT TERM
read -r display <"$fifo"
DISPLAY=":$display" "$build/bench/qt/sabrota_qt_bench" "$@"
