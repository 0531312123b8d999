#!/usr/bin/env python3
"""Draws the check and radio marks of styled menus.

Writes checkmark.bmp and radiomark.bmp (17 x 17 pixels, 16 colours) into the folder given
on the command line. The background is a dither of light grey (where x + y is even) and
white; the drawing code replaces the white by the item background.
"""
import struct
import sys

SIZE = 17
BLACK, GREY, WHITE = 0, 7, 15

# The 16 colours of the standard VGA palette, as (blue, green, red).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

CHECK_BLACK = [(11, 6), (10, 7), (11, 7), (5, 8), (9, 8), (10, 8), (5, 9), (6, 9), (8, 9), (9, 9),
               (6, 10), (7, 10), (8, 10), (7, 11)]
CHECK_WHITE = [(12, 6), (4, 8)]
RADIO_BLACK = ([(x, y) for y in (6, 10) for x in range(7, 10)] +
               [(x, y) for y in (7, 8, 9) for x in range(6, 11)])
RADIO_WHITE = [(11, 9), (10, 10), (7, 11), (9, 11)]


def mark(black, white):
    px = [[GREY if (x + y) % 2 == 0 else WHITE for x in range(SIZE)] for y in range(SIZE)]
    for x, y in black:
        px[y][x] = BLACK
    for x, y in white:
        px[y][x] = WHITE
    return px


def bmp(px):
    row_bytes = ((SIZE * 4 + 31) // 32) * 4
    rows = b""
    for y in reversed(range(SIZE)):
        row = bytearray(row_bytes)
        for x in range(SIZE):
            if x % 2 == 0:
                row[x // 2] |= px[y][x] << 4
            else:
                row[x // 2] |= px[y][x]
        rows += bytes(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    return header + info + palette + rows


def main():
    out = sys.argv[1]
    with open(f"{out}/checkmark.bmp", "wb") as f:
        f.write(bmp(mark(CHECK_BLACK, CHECK_WHITE)))
    with open(f"{out}/radiomark.bmp", "wb") as f:
        f.write(bmp(mark(RADIO_BLACK, RADIO_WHITE)))


if __name__ == "__main__":
    main()
