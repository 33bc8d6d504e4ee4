#!/usr/bin/env python3
"""Writes magnifier.png, the 32x32 zoom cursor of the drawing area.

A white magnifying glass outlined in black, so it shows on the black drawing area as well as on white;
lens at the upper left touching the image's top and left edges (the hot spot is pixel (0, 0)), handle
towards the lower right. Only opaque black, opaque white and fully transparent pixels are used: the
cursor is two-coloured, so there is no anti-aliasing.

Uses only the standard library (zlib and struct), so it runs without an imaging package:
    python3 make_magnifier.py [output.png]
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32
TRANSPARENT = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)

# Lens: a white ring between two black rings, centred so that its outer edge reaches row 0 and column 0.
LENS_CENTRE = (10.0, 10.0)
LENS_BLACK_INNER = 5.5
LENS_WHITE_INNER = 6.5
LENS_WHITE_OUTER = 9.0
LENS_BLACK_OUTER = 10.0

# Handle: a white bar with a black rim along the lens diagonal, ending near the lower right corner.
HANDLE_FROM = (17.0, 17.0)
HANDLE_TO = (28.0, 28.0)
HANDLE_WHITE = 2.0
HANDLE_BLACK = 3.0


def distance_to_segment(p, a, b):
    ax, ay = a
    bx, by = b
    px, py = p
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def pixel(x, y):
    # Sample at the pixel's centre; later layers paint over earlier ones.
    p = (x + 0.5, y + 0.5)
    colour = TRANSPARENT
    h = distance_to_segment(p, HANDLE_FROM, HANDLE_TO)
    if h <= HANDLE_BLACK:
        colour = WHITE if h <= HANDLE_WHITE else BLACK
    d = math.hypot(p[0] - LENS_CENTRE[0], p[1] - LENS_CENTRE[1])
    if LENS_BLACK_INNER <= d <= LENS_BLACK_OUTER:
        colour = WHITE if LENS_WHITE_INNER <= d <= LENS_WHITE_OUTER else BLACK
    elif d < LENS_BLACK_INNER:
        colour = TRANSPARENT  # see-through glass, also where the handle's end would show
    return colour


def image():
    return [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + b"".join(bytes(px) for px in row) for row in rows)  # filter type 0 per row
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                             "magnifier.png")
    with open(out, "wb") as f:
        f.write(png_bytes(image()))


if __name__ == "__main__":
    main()
