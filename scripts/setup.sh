#!/usr/bin/env bash
# Installs what building and testing Sabrota needs on Debian 12, skipping what is present.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev fonts-ipafont-gothic
          libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
          python3 e2fsprogs xvfb xauth dbus at-spi2-core python3-pyatspi)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
