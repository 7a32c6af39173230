#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The package is reproducible: every file time in it is at most SOURCE_DATE_EPOCH, and building
# the same tree again from clean, at another time, gives the same bytes for the package and for
# its debug-symbols package.
#   SOURCE_DATE_EPOCH=... reproducible_test.sh <the package's build folder>
set -euo pipefail
build=$(cd "${1:?usage: reproducible_test.sh <build folder of make deb>}" && pwd)
epoch=${SOURCE_DATE_EPOCH:?SOURCE_DATE_EPOCH must be set, as make deb sets it}
fail() { echo "reproducible_test: $*" >&2; exit 1; }

packages() { ls "$build"/sabrota_*-1_*.deb "$build"/sabrota-dbgsym_*-1_*.*deb 2>/dev/null | sort; }
[ "$(packages | wc -l)" -eq 2 ] || fail "expected the package and its -dbgsym package in $build, found: $(packages)"
sums() { local files; files=$(packages); [ -n "$files" ] && (cd "$build" && sha256sum $(xargs -n1 basename <<<"$files")); }
before=$(sums)

# Every member of every archive inside each package, and the ar members themselves.
for deb in $(packages); do
  python3 - "$deb" "$epoch" <<'PY' || fail "$(basename "$deb") holds file times after $epoch"
import io, lzma, sys, tarfile
deb, epoch = sys.argv[1], int(sys.argv[2])
data = open(deb, "rb").read()
assert data.startswith(b"!<arch>\n")
pos, late = 8, []
while pos < len(data):
    head = data[pos:pos + 60]
    name, mtime, size = head[:16].strip(), int(head[16:28]), int(head[48:58])
    body = data[pos + 60:pos + 60 + size]
    if mtime > epoch:
        late.append(name.decode())
    if b".tar" in name:
        with tarfile.open(fileobj=io.BytesIO(body)) as t:
            late += [name.decode() + ":" + m.name for m in t.getmembers() if m.mtime > epoch]
    pos += 60 + size + (size & 1)
for n in late:
    print("  late:", n)
sys.exit(1 if late else 0)
PY
done

# A second build from clean, its files all newer than the first's.
sleep 1
cmake --build "$build" --clean-first -j"$(nproc)" >"$build/reproducible-build.log" 2>&1 ||
  fail "the second build failed (see $build/reproducible-build.log)"
rm -f $(packages)
(cd "$build" && cpack -G DEB >>reproducible-build.log 2>&1) ||
  fail "the second cpack failed (see $build/reproducible-build.log)"
after=$(sums)
if [ "$before" != "$after" ]; then
  printf 'first build:\n%s\nsecond build:\n%s\n' "$before" "$after" >&2
  fail "two builds of the same tree differ"
fi
echo "reproducible: $(echo "$after" | awk '{print $2}' | xargs)"
