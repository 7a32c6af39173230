#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every tracked source file names its licence in its first line: "// SPDX-License-Identifier: MIT"
# in C++ files, "# SPDX-License-Identifier: MIT" in shell, CMake, Python files and the Makefile.
# A "#!" line, and in Python a coding line, stay above it.
#   scripts/spdx.sh           add the line to every tracked source file that lacks it
#   scripts/spdx.sh --check   list the files that lack it and fail if there is any (make test)
# A file that names another licence is never changed; both modes report it and fail.
set -euo pipefail

mode=add
case "${1:-}" in
  --check) mode=check ;;
  "") ;;
  *) echo "usage: scripts/spdx.sh [--check]" >&2; exit 2 ;;
esac
cd "$(git rev-parse --show-toplevel)"

identifier="SPDX-License-Identifier: MIT"

# The comment marker of a source file, or nothing for a file that is not source (data, images,
# documentation, packaging metadata).
marker_of() {
  local file="$1"
  case "${file##*/}" in
    *.cpp | *.h | *.inc | *.h.in) echo "//" ;;
    *.sh | *.py | *.cmake | CMakeLists.txt | Makefile) echo "#" ;;
    *.*) ;;
    *) # A script without an extension (.ci/run) is told by its "#!" line.
       if head -c 2 -- "$file" | grep -q '^#!'; then echo "#"; fi ;;
  esac
}

# How many leading lines must stay above the identifier: a "#!" line, then a Python coding line.
lines_kept_above() {
  local file="$1" kept=0
  if head -n 1 -- "$file" | grep -q '^#!'; then kept=1; fi
  if [[ "$file" == *.py ]] &&
     sed -n "$((kept + 1))p" -- "$file" | grep -q '^#.*coding[:=]'; then
    kept=$((kept + 1))
  fi
  echo "$kept"
}

missing=() foreign=()
while IFS= read -r -d '' file; do
  [[ -f "$file" && ! -L "$file" ]] || continue
  marker="$(marker_of "$file")"
  [[ -n "$marker" ]] || continue
  kept="$(lines_kept_above "$file")"
  line="$(sed -n "$((kept + 1))p" -- "$file")"
  if [[ "$line" == "$marker $identifier" ]]; then
    continue
  fi
  if head -n 5 -- "$file" | grep -Eq '^[[:space:]]*(//|#|/\*)[[:space:]]*SPDX-License-Identifier:'; then
    foreign+=("$file")
    continue
  fi
  missing+=("$file")
  [[ "$mode" == add ]] || continue
  tmp="$(mktemp "$file.spdx.XXXXXX")"
  awk -v kept="$kept" -v line="$marker $identifier" \
    'NR == kept + 1 { print line } { print } END { if (NR <= kept) print line }' \
    < "$file" > "$tmp"
  chmod --reference="$file" "$tmp"
  mv -- "$tmp" "$file"
done < <(git ls-files -z)

status=0
if [[ ${#foreign[@]} -gt 0 ]]; then
  echo "spdx: these files carry another or a misplaced SPDX line; left as they are:" >&2
  printf '  %s\n' "${foreign[@]}" >&2
  status=1
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  if [[ "$mode" == check ]]; then
    echo "spdx: these files lack the line \"$identifier\" at the top:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    echo "spdx: scripts/spdx.sh adds it." >&2
    status=1
  else
    echo "spdx: added \"$identifier\" to ${#missing[@]} files."
  fi
fi
exit "$status"
