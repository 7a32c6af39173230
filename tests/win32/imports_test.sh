#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when the exe imports a DLL that Windows does not bring with it (the compiler's runtime,
# for one), so that the exe runs on its own copied into any folder.
set -euo pipefail
allowed="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleacc oleaut32 shell32
         user32 uxtheme"
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' |
          tr 'A-Z' 'a-z' | sed 's/\.dll$//')
[ -n "$imports" ] || { echo "no imports read from $1"; exit 1; }
bad=0
for dll in $imports; do
  if [[ " ${allowed//$'\n'/ } " == *" $dll "* ]]; then echo "ok   $dll.dll"
  else echo "FAIL $dll.dll is not one of Windows' own"; bad=1; fi
done
exit "$bad"
