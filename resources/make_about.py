#!/usr/bin/env python3
"""Draws the about box's picture: a 378 x 83 pixel, 256-colour bitmap.

A sheet of ruled paper on a blue ground, with a pen whose nib rests on the last line and
a wavy stroke of ink behind it. Writes about.bmp into the folder given on the command line.
"""
import math
import struct
import sys

W, H = 378, 83


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw():
    px = [[(0, 0, 0)] * W for _ in range(H)]
    # Ground: 48 shades from deep blue at the top to light blue at the bottom.
    for y in range(H):
        c = lerp((16, 32, 112), (120, 170, 230), round(47 * y / (H - 1)) / 47)
        for x in range(W):
            px[y][x] = c
    # The sheet, with a grey shadow and blue rules.
    sx0, sy0, sx1, sy1 = 24, 10, 250, 76
    for y in range(sy0 + 3, sy1 + 3):
        for x in range(sx0 + 4, sx1 + 4):
            px[y][x] = (40, 48, 80)
    for y in range(sy0, sy1):
        for x in range(sx0, sx1):
            px[y][x] = (250, 250, 244)
    for y in range(sy0 + 12, sy1, 10):
        for x in range(sx0 + 6, sx1 - 6):
            px[y][x] = (170, 190, 230)
    for y in range(sy0, sy1):
        px[y][sx0 + 18] = (230, 150, 150)
    # Ink: a wavy stroke along the rules, as handwriting.
    for row, (start, end) in enumerate([(48, 236), (48, 210), (48, 226), (48, 150)]):
        base = sy0 + 10 + row * 10
        for x in range(start, end):
            y = base - 3 + round(2.5 * math.sin(x / 3.1 + row) * math.sin(x / 17.0))
            for dy in (0, 1):
                px[y + dy][x] = (20, 20, 90)
    # The pen, lying from the upper right to its nib at the end of the last stroke: each
    # pixel is placed by its distance along (t) and across (s) the pen's axis.
    nx, ny = 151, 47
    ang = math.atan2(-34, 200)
    ux, uy = math.cos(ang), math.sin(ang)
    for y in range(H):
        for x in range(W):
            t = (x - nx) * ux + (y - ny) * uy
            s = -(x - nx) * uy + (y - ny) * ux
            if not 0 <= t < 200:
                continue
            half = 5 if t > 24 else t * 5 / 24
            if abs(s) > half:
                continue
            if t <= 24:
                px[y][x] = (60, 50, 20) if abs(s) < 0.6 else (200, 170, 60)
            elif t < 40:
                px[y][x] = (190, 190, 200)
            else:
                px[y][x] = lerp((60, 10, 20), (170, 30, 50), round(8 * (1 - abs(s) / 5.5)) / 8)
    return px


def write_bmp(path, px):
    colours = sorted({c for row in px for c in row})
    assert len(colours) <= 256, len(colours)
    colours += [(0, 0, 0)] * (256 - len(colours))
    index = {c: i for i, c in enumerate(colours)}
    stride = (W + 3) & ~3
    rows = b"".join(bytes(index[c] for c in px[y]) + b"\0" * (stride - W) for y in range(H - 1, -1, -1))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + rows)


if __name__ == "__main__":
    write_bmp(sys.argv[1] + "/about.bmp", draw())
