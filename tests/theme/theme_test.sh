#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window on a private Xvfb under several styles and desktop palettes, one row a line:
# a row with a reference must give that reference's picture pixel for pixel, so neither a dark
# desktop palette nor another style changes the client area; every row checks that each text keeps its
# designed colour on its designed background and that the mask box holds its whole text.
# Then the program's X11 class must be the launcher's StartupWMClass, and its window has the icon.
# Exits 77 (skipped) when a tool is missing.
#   theme_test.sh <theme_shot executable> [<sabrota executable>]
set -u
shot=${1:?usage: theme_test.sh <theme_shot executable> [<sabrota executable>]}
here=$(cd "$(dirname "$0")" && pwd)
program=${2:-$(dirname "$shot")/../../bin/sabrota}
skip=77
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
for tool in Xvfb xwininfo xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit $skip; }
done
for need in platformthemes/libqt6ct.so:qt6ct styles/adwaita.so:adwaita-qt6; do
  [ -e "$plugins/${need%%:*}" ] || { echo "skipped: ${need##*:} is not installed"; exit $skip; }
done
[ -x "$shot" ] || { echo "no executable at $shot"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sabrota-theme.XXXXXX")
pids=()
stop() {
  local status=$?
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
  done
  [ "$status" -eq 0 ] || [ "$status" -eq $skip ] || [ ! -s "$work/xvfb.log" ] || cat "$work/xvfb.log"
  rm -rf "$work"
  exit "$status"
}
trap stop EXIT
trap 'exit 130' INT TERM

# A private server that picks its own display number; bounded waits for it to answer.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do timeout 5 xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE GTK_THEME
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" HOME="$work"

# qt6ct's "darker" colour scheme, set up as a user would in qt6ct's dialog.
mkdir -p "$work/config/qt6ct"
printf '[Appearance]\ncustom_palette=true\ncolor_scheme_path=%s\nstandard_dialogs=default\n' \
  /usr/share/qt6ct/colors/darker.conf >"$work/config/qt6ct/qt6ct.conf"
darker="XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORMTHEME=qt6ct"

# The controls are drawn alike under every style and palette: every row must give the first
# row's picture.
# name                 | style        | environment | options
table=$(cat <<ROWS
fusion                 | Fusion       |             |
fusion-qt6ct-darker    | Fusion       | $darker     | --dark --same-as fusion
windows                | Windows      |             | --same-as fusion
windows-qt6ct-darker   | Windows      | $darker     | --dark --same-as fusion
adwaita                | Adwaita      |             | --same-as fusion
adwaita-dark           | Adwaita-Dark |             | --same-as fusion
adwaita-dark-qt6ct-darker | Adwaita-Dark | $darker  | --dark --same-as fusion
ROWS
)
failed=0
while IFS='|' read -r name style environment options; do
  name=$(echo $name)
  options=$(echo $options | sed "s|--same-as \([a-z-]*\)|--same-as $work/\1.png|")
  # shellcheck disable=SC2086
  if timeout -k 5 60 env $environment QT_STYLE_OVERRIDE=$(echo $style) "$shot" "$work/$name.png" \
      $options >"$work/$name.log" 2>&1; then
    echo "ok   $name"
  else
    echo "FAIL $name"; sed 's/^/     /' "$work/$name.log" | head -20; failed=1
  fi
done <<<"$table"

# The X11 class of the real program's window against the launcher's StartupWMClass.
if [ -x "$program" ]; then
  want=$(sed -n 's/^StartupWMClass=//p' "$here/../../packaging/com.example.sabrota.desktop")
  "$program" >"$work/program.log" 2>&1 &
  pids+=($!)
  class=""
  for _ in $(seq 100); do
    # The server has no window manager: the program's window is found by its title, and
    # xwininfo shows its class after it.
    class=$(xwininfo -root -children 2>/dev/null |
      sed -n 's/.* "Sabrota": ("[^"]*" "\([^"]*\)").*/\1/p' | head -n1)
    [ -n "$class" ] && break
    sleep 0.1
  done
  if [ -n "$want" ] && [ "$class" = "$want" ]; then
    echo "ok   x11-class ($class)"
  else
    echo "FAIL x11-class: the window's class is \"$class\", the launcher's StartupWMClass \"$want\""
    failed=1
  fi
  # The window carries the program's icon for the task bar (read without image plugins).
  if xprop -name Sabrota _NET_WM_ICON 2>/dev/null | grep -q "Icon (32 x 32)"; then
    echo "ok   window-icon"
  else
    echo "FAIL window-icon: the window has no 32 x 32 icon"
    failed=1
  fi
fi
exit $failed
