#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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
  if [ "$status" -ne 0 ] && [ "$status" -ne $skip ] && [ -s "$work/xvfb.log" ]; then
    echo "--- Xvfb on ${DISPLAY:-no display}:"; cat "$work/xvfb.log"
  fi
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

# A client may connect once the display answers. Without -noreset the server starts over when
# the last client (the probe) leaves, and refuses whoever connects meanwhile. A fresh Xvfb on
# a busy machine now and then gives up on its display at once, so a few are tried.
answers() {
  timeout 10 "$python" -c '
import ctypes, sys
xcb = ctypes.CDLL("libxcb.so.1")
xcb.xcb_connect.restype = ctypes.c_void_p
xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
c = xcb.xcb_connect(sys.argv[1].encode(), None)
bad = xcb.xcb_connection_has_error(c)
xcb.xcb_disconnect(c)
sys.exit(1 if bad else 0)' "$1" 2>/dev/null
}
display=""
for attempt in 1 2 3; do
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  pids+=($xvfb)
  if wait_line "$work/display" 100; then
    candidate=":$(head -n1 "$work/display")"
    for _ in $(seq 20); do
      answers "$candidate" && { display=$candidate; break; }
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
  fi
  [ -n "$display" ] && break
  kill -TERM "$xvfb" 2>/dev/null
done
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=$display
unset WAYLAND_DISPLAY

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
wait_line "$work/bus" 100 || { echo "the session bus did not start"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
unset AT_SPI_BUS_ADDRESS

"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)

# The program and the client both look up the accessibility bus once, as they start, so the
# launcher must own its name before either starts. Asking whether a name is owned starts
# nothing; the registry is started by the accessibility bus when it is first called.
owned() {
  timeout 5 dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
    grep -q true
}
for _ in $(seq 100); do owned && break; sleep 0.1; done
owned || { echo "the accessibility bus did not start"; cat "$work/launcher.log"; exit 1; }

timeout -k 5 120 "$python" "$here/read_run.py" "$exe"
