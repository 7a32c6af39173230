#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building, testing and packaging Sabrota needs on Debian 12, skipping what is
# present. With everything installed it asks dpkg once and never runs apt-get.
#   scripts/setup.sh          install what is missing
#   scripts/setup.sh --list   print the packages, one a line (the README lists the same)
set -euo pipefail

packages=(cmake g++ make ccache pkg-config qt6-base-dev libgl-dev fonts-ipafont-gothic
          libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format-14 clang-tidy-14
          python3 e2fsprogs dpkg-dev lintian appstream desktop-file-utils librsvg2-bin locales
          fonts-vlgothic fonts-droid-fallback xvfb xauth dbus at-spi2-core python3-pyatspi
          orca speech-dispatcher openbox xdotool qt6ct adwaita-qt6 x11-utils
          g++-mingw-w64-x86-64-posix wine64 wine libwine emscripten
          chromium chromium-driver python3-selenium)

# A locale with a decimal comma, for the test that numbers read the same in every locale.
test_locale=de_DE.UTF-8
# And the Japanese one, in which Wine's ANSI code page is 932, for the Windows program's tests.
has_test_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' &&
    locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'
}

if [[ "${1:-}" == --list ]]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "setup: this system has no dpkg. The set-up installs Debian 12 packages with apt-get;" >&2
  echo "install these (or what your system calls them) yourself: ${packages[*]}" >&2
  exit 1
fi

declare -A installed=()
while IFS='|' read -r status name; do
  [[ "$status" == ii* ]] && installed["$name"]=1
done < <(dpkg-query -W -f='${db:Status-Abbrev}|${Package}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [[ -n "${installed[$p]:-}" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]] && has_test_locale; then
  exit 0
fi

if [[ ${#missing[@]} -gt 0 ]] && ! command -v apt-get >/dev/null 2>&1; then
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: this system has no apt-get to install them; install them yourself." >&2
  exit 1
fi
SUDO=""
if [[ "$(id -u)" -ne 0 && ${#missing[@]} -eq 0 ]] && ! command -v sudo >/dev/null 2>&1; then
  echo "setup: the locale $test_locale is missing and generating it needs root;" >&2
  echo "setup: the locale test skips until it is there." >&2
  exit 0
fi
if [[ "$(id -u)" -ne 0 ]]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: missing packages: ${missing[*]}" >&2
    echo "setup: installing them needs root: run the set-up as root or install sudo." >&2
    exit 1
  fi
  SUDO="sudo"
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  # Another installer on the machine holds dpkg's lock for a while; wait for it.
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi
if ! has_test_locale; then
  echo "Generating the locales $test_locale and ja_JP.UTF-8"
  $SUDO localedef -i de_DE -f UTF-8 "$test_locale"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
