#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang if needed and runs each for the given seconds on a
# scratch copy of its committed seed corpus. Fails on any crash, leak, timeout or hang.
# Usage: scripts/fuzz.sh [seconds=60] [build-dir=build-fuzz]
set -euo pipefail

seconds="${1:-60}"
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${2:-$repo/build-fuzz}"
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
targets=(fuzz_number fuzz_run)

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$repo" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DSABROTA_FUZZ=ON \
    -DSABROTA_GUI=OFF -DSABROTA_TESTS=OFF -DSABROTA_BENCH=OFF
fi
cmake --build "$build" -j2 --target "${targets[@]}"

work="$(mktemp -d "${TMPDIR:-/tmp}/sabrota-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT

status=0
for t in "${targets[@]}"; do
  corpus="$work/$t"
  mkdir -p "$corpus" "$work/artifacts-$t"
  cp -R "$repo/fuzz/corpus/$t/." "$corpus/"
  log="$work/$t.log"
  echo "== $t: ${seconds}s"
  if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts-$t/" "$corpus" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
    echo "$t: ok, ${runs:-?} executions (${rate:-?}/s), corpus $(ls "$corpus" | wc -l) inputs"
  else
    status=1
    echo "$t: FAILED"
    tail -n 40 "$log"
    mkdir -p "$repo/build-fuzz-crashes"
    cp -R "$work/artifacts-$t/." "$repo/build-fuzz-crashes/" 2>/dev/null || true
    echo "crash inputs copied to $repo/build-fuzz-crashes/"
  fi
done
exit "$status"
