#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the code page 932 table of the WebAssembly build: every character of the Basic
Multilingual Plane that Python's cp932 codec (Microsoft's mapping) encodes, with its code.

The browser has no converter to code page 932, and the C library of the WebAssembly build
(musl) knows none either; the table is made here from the codec, never written by hand.

Usage: make_cp932_table.py OUTPUT.inc
"""
import sys


def main() -> None:
    rows = []
    for cp in range(0x80, 0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        try:
            code = chr(cp).encode("cp932")
        except UnicodeEncodeError:
            continue
        rows.append((cp, int.from_bytes(code, "big")))
    with open(sys.argv[1], "w", encoding="ascii") as out:
        out.write("// Made by scripts/make_cp932_table.py from Python's cp932 codec: do not edit.\n")
        out.write("// {character, code}, by character; ASCII is left out (it is its own code).\n")
        for i in range(0, len(rows), 6):
            out.write(" ".join("{0x%04X, 0x%04X}," % r for r in rows[i:i + 6]) + "\n")


if __name__ == "__main__":
    main()
