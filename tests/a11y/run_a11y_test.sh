#!/usr/bin/env bash
# Runs read_run.py against the built program on a display and buses of its own: a private
# Xvfb (it picks a free display number itself), a private session bus and the AT-SPI registry.
# Everything started here is stopped on the way out. Exits 77 (skipped) when a tool is missing.
#   run_a11y_test.sh <sabrota executable>
set -u
exe=${1:?usage: run_a11y_test.sh <sabrota executable>}
here=$(cd "$(dirname "$0")" && pwd)
skip=77

# Under the sanitizers the program starts too slowly for the bus to be of use, and the run
# proves nothing the plain build does not; the plain suite runs this test.
if [ -n "${SABROTA_SKIP_A11Y:-}" ]; then
  echo "skipped: SABROTA_SKIP_A11Y is set ($SABROTA_SKIP_A11Y)"; exit $skip
fi
launcher=/usr/libexec/at-spi-bus-launcher
for tool in Xvfb dbus-daemon "$launcher"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit $skip; }
done
# pyatspi comes with the system's Python, which need not be the first python3 on the PATH.
python=""
for p in /usr/bin/python3 python3; do
  if command -v "$p" >/dev/null 2>&1 && timeout 20 "$p" -c "import pyatspi" >/dev/null 2>&1; then
    python=$p; break
  fi
done
[ -n "$python" ] || { echo "skipped: python3-pyatspi is not installed"; exit $skip; }
[ -x "$exe" ] || { echo "no executable at $exe"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sabrota-a11y.XXXXXX")
pids=()
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
stop() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill -TERM "${pids[i]}" 2>/dev/null
  done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
  done
  rm -rf "$work"
  exit "$status"
}
trap stop EXIT
trap 'exit 130' INT TERM

# Waits up to $2 tenths of a second for file $1 to have a line.
wait_line() {
  for _ in $(seq "$2"); do [ -s "$1" ] && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_line "$work/display" 100 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
wait_line "$work/bus" 100 || { echo "the session bus did not start"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
unset AT_SPI_BUS_ADDRESS

"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)

timeout -k 5 120 "$python" "$here/read_run.py" "$exe"
