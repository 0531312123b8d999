#!/usr/bin/env python3
"""Draws the program's 16 x 16 tool bar images and its icon.

Writes toolbar.bmp (a strip of 27 images, 24 bits, magenta = transparent) and
penwise.ico into the folder given on the command line.
"""
import struct
import sys

W = H = 16
COUNT = 27
MAGENTA = (255, 0, 255)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)
NAVY, BLUE, RED, YELLOW = (0, 0, 128), (0, 0, 255), (200, 0, 0), (255, 255, 0)
GREEN, OLIVE, TEAL = (0, 128, 0), (128, 128, 0), (0, 128, 128)

FONT = {  # 5 x 7 glyphs
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
}


class Canvas:
    def __init__(self):
        self.px = [[MAGENTA] * W for _ in range(H)]

    def set(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c); self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c); self.set(x1, y, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def glyph(self, ch, x0, y0, c, italic=False, bold=False):
        for r, row in enumerate(FONT[ch]):
            shift = (6 - r) // 3 if italic else 0
            for k, bit in enumerate(row):
                if bit == "1":
                    self.set(x0 + k + shift, y0 + r, c)
                    if bold:
                        self.set(x0 + k + shift + 1, y0 + r, c)


def page(c, x0=3, y0=1, x1=12, y1=14):
    c.fill(x0, y0, x1, y1, WHITE)
    c.rect(x0, y0, x1, y1, BLACK)
    c.line(x1 - 3, y0, x1, y0 + 3, BLACK)


def lines(c, widths, align):
    for i, w in enumerate(widths):
        y = 2 + i * 3
        x0 = {"l": 1, "c": (16 - w) // 2, "r": 15 - w}[align]
        c.line(x0, y, x0 + w - 1, y, BLACK)


def draw(i):
    c = Canvas()
    if i == 0:  # New
        page(c)
    elif i == 1:  # Open
        c.fill(1, 5, 13, 13, YELLOW); c.rect(1, 5, 13, 13, BLACK); c.fill(2, 3, 6, 5, YELLOW)
        c.rect(2, 3, 6, 5, BLACK); c.line(4, 8, 15, 8, BLACK); c.line(15, 8, 13, 13, BLACK)
    elif i == 2:  # Save
        c.fill(1, 1, 14, 14, NAVY); c.fill(4, 1, 11, 6, WHITE); c.fill(4, 10, 11, 14, GREY)
        c.fill(9, 2, 10, 5, NAVY)
    elif i == 3:  # Cut
        c.line(4, 1, 9, 9, BLACK); c.line(11, 1, 6, 9, BLACK)
        c.rect(2, 10, 6, 14, NAVY); c.rect(9, 10, 13, 14, NAVY)
    elif i == 4:  # Copy
        page(c, 1, 1, 9, 11); page(c, 6, 4, 14, 14)
    elif i == 5:  # Paste
        c.fill(1, 2, 11, 14, OLIVE); c.rect(1, 2, 11, 14, BLACK); c.fill(4, 1, 8, 3, GREY)
        page(c, 7, 6, 14, 15)
    elif i == 6:  # Find
        c.rect(2, 2, 8, 8, BLACK); c.fill(3, 3, 7, 7, TEAL); c.line(8, 8, 13, 13, BLACK); c.line(9, 8, 14, 13, BLACK)
    elif i == 7:  # Replace
        c.rect(1, 1, 6, 6, BLACK); c.line(6, 6, 9, 9, BLACK)
        c.line(9, 12, 15, 12, RED); c.line(13, 10, 15, 12, RED); c.line(13, 14, 15, 12, RED)
    elif i == 8:  # Spelling
        c.glyph('A', 0, 0, BLUE); c.glyph('B', 5, 0, BLUE); c.glyph('C', 10, 0, BLUE)
        c.line(4, 11, 7, 14, GREEN); c.line(7, 14, 14, 8, GREEN); c.line(7, 13, 14, 7, GREEN)
    elif i == 9:  # Undo
        c.line(3, 6, 10, 6, NAVY); c.line(10, 6, 13, 9, NAVY); c.line(13, 9, 10, 12, NAVY)
        c.line(3, 6, 6, 3, NAVY); c.line(3, 6, 6, 9, NAVY)
    elif i == 10:  # Exit
        c.fill(3, 1, 11, 14, DARK); c.rect(3, 1, 11, 14, BLACK); c.fill(9, 7, 10, 8, YELLOW)
    elif i == 11:  # Print
        c.fill(1, 6, 14, 11, GREY); c.rect(1, 6, 14, 11, BLACK); page(c, 4, 1, 11, 6)
        c.fill(4, 11, 11, 14, WHITE); c.rect(4, 11, 11, 14, BLACK); c.set(12, 8, GREEN)
    elif i == 12:
        c.glyph('B', 5, 4, BLACK, bold=True)
    elif i == 13:
        c.glyph('I', 5, 4, BLACK, italic=True)
    elif i == 14:
        c.glyph('U', 5, 3, BLACK); c.line(4, 12, 11, 12, BLACK)
    elif i == 15:
        lines(c, [14, 9, 14, 9, 12], "l")
    elif i == 16:
        lines(c, [14, 8, 14, 8, 12], "c")
    elif i == 17:
        lines(c, [14, 9, 14, 9, 12], "r")
    elif i == 18:  # Bullets
        for k in range(3):
            y = 3 + k * 5
            c.fill(1, y, 2, y + 1, BLACK); c.line(5, y, 14, y, BLACK)
    elif i == 19:  # a font that is not TrueType: a small printer
        c.fill(2, 7, 13, 11, GREY); c.rect(2, 7, 13, 11, BLACK); c.fill(5, 4, 10, 7, WHITE); c.rect(5, 4, 10, 7, BLACK)
    elif i == 20:  # TrueType mark
        c.glyph('T', 1, 2, DARK); c.glyph('T', 6, 6, BLACK)
    elif i == 21:  # Redo
        c.line(12, 6, 5, 6, NAVY); c.line(5, 6, 2, 9, NAVY); c.line(2, 9, 5, 12, NAVY)
        c.line(12, 6, 9, 3, NAVY); c.line(12, 6, 9, 9, NAVY)
    elif i == 22:  # text colour; the colour bar (the bottom four rows) is opaque
        c.glyph('A', 5, 2, BLACK, bold=True); c.fill(0, 12, 15, 15, RED)
    elif i == 23:  # highlight
        c.line(4, 10, 10, 3, BLACK); c.line(5, 10, 11, 3, BLACK); c.fill(0, 12, 15, 15, YELLOW)
    elif i == 24:  # Cascade
        for k in range(3):
            c.fill(1 + 3 * k, 1 + 3 * k, 9 + 3 * k, 7 + 3 * k, WHITE)
            c.rect(1 + 3 * k, 1 + 3 * k, 9 + 3 * k, 7 + 3 * k, BLACK)
            c.line(1 + 3 * k, 2 + 3 * k, 9 + 3 * k, 2 + 3 * k, NAVY)
    elif i == 25:  # Tile
        for (x0, y0) in ((1, 1), (8, 1), (1, 8), (8, 8)):
            c.fill(x0, y0, x0 + 6, y0 + 6, WHITE); c.rect(x0, y0, x0 + 6, y0 + 6, BLACK)
            c.line(x0, y0 + 1, x0 + 6, y0 + 1, NAVY)
    return c


def bmp_bytes(rows):
    """24-bit bottom-up BMP of rows (list of lists of RGB)."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header, data


def write_strip(path):
    canvases = [draw(i) for i in range(COUNT)]
    rows = [[p for c in canvases for p in c.px[y]] for y in range(H)]
    header, data = bmp_bytes(rows)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54))
        f.write(header + data)


def icon_image(size):
    c = draw(8)  # the spelling image, scaled up
    scale = size // 16
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            p = c.px[y // scale][x // scale]
            row.append(WHITE if p == MAGENTA else p)
        rows.append(row)
    header, data = bmp_bytes(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    return header + data + mask


def write_icon(path):
    images = [icon_image(32), icon_image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, size in zip(images, (32, 16)):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    write_strip(folder + "/toolbar.bmp")
    write_icon(folder + "/penwise.ico")
