#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Assembles a Windows .ico from PNG images, one per size, each stored whole (as Windows Vista
and later read them).
  make_ico.py out.ico in16.png in32.png in48.png in256.png"""
import struct
import sys


def size_of(png):
    # The IHDR chunk follows the 8-byte signature: length, type, then width and height.
    if png[:8] != b"\x89PNG\r\n\x1a\n" or png[12:16] != b"IHDR":
        raise SystemExit("not a PNG image")
    return struct.unpack(">II", png[16:24])


def main():
    out, images = sys.argv[1], [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for png in images:
        w, h = size_of(png)
        # A side of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
        data += png
    with open(out, "wb") as f:
        f.write(header + entries + data)


if __name__ == "__main__":
    main()
