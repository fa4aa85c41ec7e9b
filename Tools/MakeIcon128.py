#!/usr/bin/env python3
"""Draws the plug-in's icon, Resources/Icon128.png: a garden trellis, a lattice of slats on a green tile.

The PNG is written by hand (zlib and the chunk layout), so the icon needs nothing but Python to remake:
    python3 Tools/MakeIcon128.py
"""
import math
import pathlib
import struct
import zlib

SIZE = 128
SAMPLES = 4  # per axis and pixel, for smooth edges

TILE = (31, 77, 58)  # deep green
SLAT = (222, 190, 132)  # pale wood
BUD = (134, 200, 96)  # young leaf green

CORNER_RADIUS = 22.0
SLAT_SPACING = 26.0
SLAT_HALF_WIDTH = 3.2
FRAME_INSET = 14.0
BUDS = [(38.0, 51.0), (64.0, 77.0), (90.0, 51.0), (64.0, 25.0)]
BUD_RADIUS = 7.0


def inside_rounded_square(x, y, inset, radius):
    low, high = inset, SIZE - inset
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and low <= x <= high and low <= y <= high


def on_slat(x, y):
    # Two families of diagonal slats, crossing at right angles.
    for along in (x + y, x - y):
        offset = (along - SIZE / 2) % SLAT_SPACING
        if min(offset, SLAT_SPACING - offset) <= SLAT_HALF_WIDTH * math.sqrt(2):
            return True
    return False


def colour_at(x, y):
    """The colour and opacity of one sample point."""
    if not inside_rounded_square(x, y, 0.0, CORNER_RADIUS):
        return None
    for bx, by in BUDS:
        if (x - bx) ** 2 + (y - by) ** 2 <= BUD_RADIUS * BUD_RADIUS:
            return BUD
    if inside_rounded_square(x, y, FRAME_INSET, CORNER_RADIUS - FRAME_INSET / 2) and on_slat(x, y):
        return SLAT
    return TILE


def pixel(px, py):
    red = green = blue = covered = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            colour = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if colour:
                red += colour[0]
                green += colour[1]
                blue += colour[2]
                covered += 1
    if covered == 0:
        return (0, 0, 0, 0)
    return (red // covered, green // covered, blue // covered, covered * 255 // (SAMPLES * SAMPLES))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    rows = bytearray()
    for py in range(SIZE):
        rows.append(0)  # no filter
        for px in range(SIZE):
            rows.extend(pixel(px, py))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA, not interlaced
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    target = pathlib.Path(__file__).resolve().parent.parent / "Resources" / "Icon128.png"
    target.write_bytes(png)
    print(f"Wrote {target} ({len(png)} bytes)")


if __name__ == "__main__":
    main()
