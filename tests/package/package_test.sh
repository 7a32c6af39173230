#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package as a user meets it. lintian finds no errors in it; it holds the program,
# the launcher, the icons, the AppStream data, the manual page and the copyright; launcher and
# AppStream data validate. Unpacked with dpkg -x into a scratch root, the installed program
# starts offscreen as an unprivileged user with a fresh home, calculates 192.168.1.130 with
# "255.255.255.192    /26" and exports: ip-file.csv lands in that user's documents folder
# (~/Documents/Sabrota), byte for byte the golden file, and nothing lands beside the
# executable. As root the
# same program also runs from a shared program folder (/usr/local/bin in a private mount
# namespace), where even root's export goes to root's documents folder.
#
# The program takes no options; drive_plugin.cpp, a Qt input plugin from the build tree, works
# its window from inside the installed executable.
#
# Usage: tests/package/package_test.sh <package.deb> <libsabrota_drive.so> <golden.csv>
set -euo pipefail
export LC_ALL=C.UTF-8  # the manual page and the boxes are partly Japanese

deb="$(realpath "$1")"
plugin="$(realpath "$2")"
golden="$(realpath "$3")"
success="box: 新しいファイルを作成しました。ip-file.csv"

fail() {
  echo "package test: FAILED: $*" >&2
  exit 1
}
step() { echo "== $*"; }

scratch="$(mktemp -d "${TMPDIR:-/tmp}/sabrota-package.XXXXXX")"
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 0755 "$scratch"

if [[ "$(id -u)" -eq 0 ]]; then
  # lintian unpacks what it checks, so it runs as nobody, as it recommends.
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  owner=65534:65534
else
  user=()
  owner="$(id -u):$(id -g)"
fi

step "lintian"
mkdir -p "$scratch/lintian"
cp "$deb" "$scratch/lintian/"
chown -R "$owner" "$scratch/lintian"
(cd "$scratch/lintian" && "${user[@]}" env -i PATH=/usr/bin:/bin HOME="$scratch/lintian" \
  TMPDIR="$scratch/lintian" lintian --fail-on error --display-info "$(basename "$deb")") ||
  fail "lintian reports errors"

step "contents"
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
echo "$contents" | sed 's/^/  /'
for path in ./usr/bin/sabrota \
            ./usr/share/applications/com.example.sabrota.desktop \
            ./usr/share/metainfo/com.example.sabrota.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/sabrota.svg \
            ./usr/share/icons/hicolor/{32x32,64x64,128x128,256x256}/apps/sabrota.png \
            ./usr/share/man/man1/sabrota.1.gz \
            ./usr/share/doc/sabrota/copyright; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if grep -vE '^\./usr/(bin/sabrota|lib/(.*/)?sabrota/libsabrota-print\.so|share/.*)$|/$' <<<"$contents"; then
  fail "the package holds files outside /usr/bin/sabrota, the print module and /usr/share (above)"
fi
depends="$(dpkg-deb -f "$deb" Depends)"
echo "  Depends: $depends"
for d in fonts-ipafont-gothic libqt6widgets6 libqt6printsupport6 libc6; do
  grep -q "\b$d\b" <<<"$depends" || fail "Depends lacks $d"
done

root="$scratch/root"
dpkg -x "$deb" "$root"

step "launcher, AppStream data, icons, manual page"
desktop-file-validate "$root/usr/share/applications/com.example.sabrota.desktop" ||
  fail "desktop-file-validate"
grep -qx 'Categories=Utility;Calculator;' "$root/usr/share/applications/com.example.sabrota.desktop" ||
  fail "the launcher's categories"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.example.sabrota.metainfo.xml" ||
  fail "appstreamcli validate"
for size in 32 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/sabrota.png"
  python3 - "$png" "$size" <<'EOF' || fail "$png is not a ${size}x${size} PNG"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
ok = data[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", data[16:24]) == (int(sys.argv[2]),) * 2
sys.exit(0 if ok else 1)
EOF
done
man --warnings -E UTF-8 -l "$root/usr/share/man/man1/sabrota.1.gz" 2>&1 >/dev/null | grep . &&
  fail "the manual page has faults (above)"
man -l "$root/usr/share/man/man1/sabrota.1.gz" 2>/dev/null | grep -q 'sabrota - IPv4 subnet calculator' ||
  fail "the manual page's name line"

# Runs the installed program with the driver; the environment is the user's session's, no more.
# $1: home, $2: what to run, the rest: the command in front of it (user switch, namespace).
plugins="$scratch/plugins"
mkdir -p "$plugins/generic"
cp "$plugin" "$plugins/generic/"
chmod -R a+rX "$plugins"
drive() {
  local home="$1" program="$2"
  shift 2
  mkdir -p "$home/runtime"
  chmod 0700 "$home" "$home/runtime"
  set +e
  timeout -k 5 60 "$@" env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$plugins" \
    QT_QPA_GENERIC_PLUGINS=sabrotadrive "$program" >"$home/../out" 2>"$home/../err"
  local status=$?
  set -e
  sed 's/^/  /' "$home/../out"
  [[ $status -eq 0 ]] || { sed 's/^/  stderr: /' "$home/../err"; fail "the program ended with $status"; }
  grep -qxF "$success" "$home/../out" || fail "no success box"
}

# Checks that the export is in home's documents folder, made for its user alone, beside the
# files listed after the uid.
expectExportIn() {
  local home="$1" uid="$2" data="$1/Documents/Sabrota"
  shift 2
  grep -qxF "folder: $data" "$home/../out" || fail "the program folder is not $data"
  cmp "$golden" "$data/ip-file.csv" || fail "ip-file.csv differs from $(basename "$golden")"
  for d in "$home/Documents" "$data"; do
    [[ "$(stat -c '%a %u' "$d")" == "700 $uid" ]] ||
      fail "$d is $(stat -c '%a %u' "$d"), not the user's alone"
  done
  local expected
  expected="$(printf '%s\n' ip-file.csv "$@" | sort)"
  [[ "$(ls -A "$data")" == "$expected" ]] || fail "$data holds $(ls -A "$data" | tr '\n' ' ')"
  [[ "$(ls -A "$root/usr/bin")" == sabrota ]] || fail "files beside the executable"
}

step "the installed program as an unprivileged user with a fresh home"
mkdir -p "$scratch/user/home"
if [[ "$(id -u)" -ne 0 ]]; then
  chmod a-w "$root/usr/bin"  # as root would have left it; the user may not write it
fi
chown -R "$owner" "$scratch/user/home"
drive "$scratch/user/home" "$root/usr/bin/sabrota" "${user[@]}"
expectExportIn "$scratch/user/home" "${owner%%:*}"

step "the installed program in a shared program folder, as root"
if [[ "$(id -u)" -ne 0 ]]; then
  echo "  skipped: needs root for a private mount namespace"
elif ! unshare --mount --propagation private true 2>/dev/null; then
  echo "  skipped: no private mount namespace here"
else
  mkdir -p "$scratch/root-user/home"
  # Inside the namespace the package's /usr/bin stands in for /usr/local/bin, so the program
  # finds itself at /usr/local/bin/sabrota; outside nothing changes.
  drive "$scratch/root-user/home" /usr/local/bin/sabrota \
    unshare --mount --propagation private sh -c \
    'mount --bind "$0" /usr/local/bin && exec "$@"' "$root/usr/bin"
  expectExportIn "$scratch/root-user/home" 0
fi

echo "package test: passed"
