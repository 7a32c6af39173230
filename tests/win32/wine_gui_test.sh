#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program as a user meets it, under Wine: a private X display, a fresh Wine prefix
# with Japanese fonts and code page 932, sabrota.exe copied alone into a folder, and drive.exe
# working it through its controls. Then ip-file.csv beside the exe must equal the golden file,
# and the window's own tests run on the same display.
#   wine_gui_test.sh build-win tests/data/csv_c_26.csv [screenshot.png]
# Every wait is bounded; only the processes started here are ended.
set -euo pipefail
build=$(realpath "$1")
golden=$(realpath "$2")
shot=${3:-}
work=$(mktemp -d /tmp/sabrota-wine-XXXXXX)
xvfb_pid=""
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cleanup() {
  # wineserver -k ends only the Wine processes of this prefix, which this script made.
  [ -d "$WINEPREFIX" ] && timeout 30 wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "wine_gui_test: the locale ja_JP.UTF-8 is missing (scripts/setup.sh makes it)" >&2
  exit 1
fi

# A display of its own; Xvfb names the free number it took.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -fbdir "$work" 3>"$work/display" \
  2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# Without replacements Wine draws the Japanese faces with a face that has no Latin letters.
timeout 300 wineboot --init >/dev/null 2>&1
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' >"$work/fonts.txt"
for face in "MS UI Gothic" "MS PGothic" "MS Gothic" "ＭＳ Ｐゴシック" "ＭＳ ゴシック" \
            "HGP創英角ﾎﾟｯﾌﾟ体" "HG創英角ﾎﾟｯﾌﾟ体"; do
  printf '"%s"="IPAPGothic"\r\n' "$face" >>"$work/fonts.txt"
done
iconv -f UTF-8 -t UTF-16 "$work/fonts.txt" >"$work/fonts.reg"
timeout 120 wine regedit /S "$work/fonts.reg" >/dev/null 2>&1
timeout 120 wineserver -w

mkdir "$work/app"
cp "$build/sabrota.exe" "$work/app/"
status=0
line_before=""
while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in "window at "*) line_before=$line; continue ;; esac
  if [ "$line" = screenshot ]; then
    [ -z "$shot" ] || python3 "$(dirname "$0")/xwd_to_png.py" "$work/Xvfb_screen0" "$shot" \
      $(sed -n 's/^window at //p' <<<"$line_before") || true
    touch "$work/app/shot-done"
    continue
  fi
  echo "$line"
  case "$line" in FAIL*) status=1 ;; esac
done < <(cd "$work/app" && timeout 240 wine "$build/tests/win32/sabrota_drive.exe" \
           'Z:'"${work//\//\\}"'\app\sabrota.exe' 2>/dev/null || echo "FAIL drive.exe ended with status $?")

if cmp -s "$work/app/ip-file.csv" "$golden"; then
  echo "ok   ip-file.csv beside the exe equals $(basename "$golden")"
else
  echo "FAIL ip-file.csv beside the exe differs from $(basename "$golden")"
  status=1
fi

# The window's own tests, in their own process on this display: the printed page, the mask
# box's line and the long list's fill time.
mkdir "$work/window"
cp "$build/tests/win32/sabrota_window_tests.exe" "$work/window/"
(cd "$work/window" && timeout 300 wine sabrota_window_tests.exe 2>/dev/null) | tr -d '\r' ||
  { echo "FAIL the window's tests"; status=1; }
exit "$status"
