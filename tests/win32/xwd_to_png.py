#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the screen of an Xvfb started with -fbdir (an XWD file of 24-bit TrueColor) as PNG,
cut to the given rectangle if one is given.
  xwd_to_png.py Xvfb_screen0 out.png [x y width height]"""
import struct
import sys
import zlib


def main():
    data = open(sys.argv[1], "rb").read()
    f = struct.unpack(">25I", data[:100])
    header, width, height, order, bpp, line = f[0], f[4], f[5], f[7], f[11], f[12]
    ncolors = f[19]
    if bpp != 32:
        raise SystemExit("only 32 bits a pixel are read")
    pixels = data[header + 12 * ncolors:]
    x, y, w, h = (map(int, sys.argv[3:7]) if len(sys.argv) >= 7 else (0, 0, width, height))
    rows = []
    for r in range(y, y + h):
        row = pixels[r * line + 4 * x: r * line + 4 * (x + w)]
        rgb = bytearray()
        for i in range(0, len(row), 4):
            px = row[i:i + 4]
            # Least significant byte first: blue, green, red, unused.
            b, g, rr = (px[0], px[1], px[2]) if order == 0 else (px[3], px[2], px[1])
            rgb += bytes((rr, g, b))
        rows.append(b"\x00" + bytes(rgb))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    open(sys.argv[2], "wb").write(png)


if __name__ == "__main__":
    main()
