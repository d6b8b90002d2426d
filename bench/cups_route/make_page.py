#!/usr/bin/env python3
"""Writes a photo-like RGB PNG (default 576 x 2000): gradients, a red disc, dark bars and a little noise,
the kind of page a receipt with a photo or logo gives the printing road."""
import random
import struct
import sys
import zlib


def page_rows(width, height, seed=7):
    rng = random.Random(seed)
    for y in range(height):
        row = bytearray()
        for x in range(width):
            base = 255 * x // max(width - 1, 1)
            shade = (base + 128 * ((y // 64) % 2)) // 2 + rng.randint(-12, 12)
            dx, dy = x - width // 2, (y % 400) - 200
            if (y % 50) < 6 and (x // 24) % 3 != 0:
                row += b"\x00\x00\x00"
            elif dx * dx + dy * dy < 120 * 120:
                red = min(255, max(0, 200 + rng.randint(-12, 12)))
                grey = min(255, max(0, shade // 3))
                row += bytes((red, grey, grey))
            else:
                grey = min(255, max(0, shade))
                row += bytes((grey, grey, grey))
        yield bytes(row)


def write_png(path, width, height):
    raw = b"".join(b"\x00" + row for row in page_rows(width, height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 4):
        sys.exit("usage: make_page.py OUT.png [WIDTH HEIGHT]")
    width, height = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) == 4 else (576, 2000)
    write_png(sys.argv[1], width, height)
