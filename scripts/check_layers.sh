#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when an include runs against the layers: src/platform is the bottom and includes
# nothing of the model or the front ends; the model includes neither front end nor Qt. The
# build refuses such includes too (each library sees only the headers of its own layer and
# those below); this check also names includes written with a relative path.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=0
report() {
  echo "layer check: $1 may not include these:"
  printf '%s\n' "$2" | sed 's/^/  /'
  bad=1
}
hits=$(grep -rnE '#include[[:space:]]*"(window|stages|analysis|netlist|commands|frontend|gui|headless|win32)/' \
         src/platform || true)
[ -z "$hits" ] || report "src/platform" "$hits"
hits=$(grep -rnE '#include[[:space:]]*[<"](frontend/|gui/|headless/|win32/|Q[A-Za-z]+[>"]|\.\./)' \
         src/window src/stages src/analysis src/netlist src/commands || true)
[ -z "$hits" ] || report "the model" "$hits"
hits=$(grep -rnE '#include[[:space:]]*"(frontend|gui|win32)/' src/headless || true)
[ -z "$hits" ] || report "src/headless" "$hits"
hits=$(grep -rnE '#include[[:space:]]*[<"](gui/|headless/|win32/|Q[A-Za-z]+[>"])' src/frontend || true)
[ -z "$hits" ] || report "src/frontend" "$hits"
hits=$(grep -rnE '#include[[:space:]]*"(gui|win32|headless)/' src/win32 src/gui src/web 2>/dev/null |
         grep -vE '^src/(gui)/[^:]*:[0-9]+:#include[[:space:]]*"gui/' |
         grep -vE '^src/(win32)/[^:]*:[0-9]+:#include[[:space:]]*"win32/' || true)
[ -z "$hits" ] || report "a front end (another front end's or the stand-ins' headers)" "$hits"
[ "$bad" -eq 0 ] && echo "layer check: every include runs downwards"
exit "$bad"
