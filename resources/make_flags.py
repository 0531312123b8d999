#!/usr/bin/env python3
"""Draws the national flags of the language combo box.

Writes flag<LCID>.bmp (18 x 12 pixels, 4 bits per pixel with the standard 16-colour
palette, magenta = transparent) for every language identifier below, and flags.rc, the
resource script that names each bitmap by its identifier, into the folder given on the
command line.
"""
import struct
import sys

W, H = 18, 12
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
(K, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE,
 MAGENTA, AQUA, WHITE) = range(16)


class Flag:
    def __init__(self, bg=WHITE):
        self.px = [[bg] * W for _ in range(H)]

    def set(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)
        return self

    def hstripes(self, colours, weights=None):
        weights = weights or [1] * len(colours)
        total, y = sum(weights), 0
        for i, (c, w) in enumerate(zip(colours, weights)):
            y1 = H if i == len(colours) - 1 else y + round(H * w / total)
            self.fill(0, y, W - 1, y1 - 1, c)
            y = y1
        return self

    def vstripes(self, colours, weights=None):
        weights = weights or [1] * len(colours)
        total, x = sum(weights), 0
        for i, (c, w) in enumerate(zip(colours, weights)):
            x1 = W if i == len(colours) - 1 else x + round(W * w / total)
            self.fill(x, 0, x1 - 1, H - 1, c)
            x = x1
        return self

    def nordic(self, cross, inner=None):
        self.fill(5, 0, 7, H - 1, cross); self.fill(0, 5, W - 1, 6, cross)
        if inner is not None:
            self.fill(6, 0, 6, H - 1, inner); self.fill(0, 5, W - 1, 5, inner)
        return self

    def centred_cross(self, c):
        self.fill(8, 2, 9, 9, c); self.fill(5, 5, 12, 6, c)
        return self

    def disc(self, c, cx=8.5, cy=5.5, r=3.2):
        for y in range(H):
            for x in range(W):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)
        return self

    def triangle(self, c, depth=7):  # from the hoist
        for y in range(H):
            reach = round(depth * (1 - abs(y - (H - 1) / 2) / (H / 2)))
            self.fill(0, y, reach - 1, y, c)
        return self

    def canton(self, c, w=8, h=6):
        self.fill(0, 0, w - 1, h - 1, c)
        return self

    def saltire(self, c):
        for x in range(W):
            y = round(x * (H - 1) / (W - 1))
            for d in (0, 1):
                self.set(x, y + d - 1 if y else y, c); self.set(x, H - 1 - y + d - 1 if y else H - 1, c)
        return self

    def dots(self, c, points):
        for x, y in points:
            self.set(x, y, c)
        return self

    def band(self, c, x0, x1):
        self.fill(x0, 0, x1, H - 1, c)
        return self


def union(f, w=W, h=H):
    f.fill(0, 0, w - 1, h - 1, NAVY)
    for x in range(w):
        y = round(x * (h - 1) / (w - 1))
        f.set(x, y, WHITE); f.set(x, h - 1 - y, WHITE)
    f.fill(w // 2 - 1, 0, w // 2, h - 1, WHITE); f.fill(0, h // 2 - 1, w - 1, h // 2, WHITE)
    f.fill(w // 2 - 1, 0, w // 2 - 1, h - 1, RED); f.fill(0, h // 2 - 1, w - 1, h // 2 - 1, RED)
    return f


def southern(stars):
    f = Flag(NAVY)
    union(f, 9, 6)
    return f.dots(stars, [(13, 3), (15, 6), (12, 8), (14, 10), (4, 9)])


def quarters(tl, tr, bl, br):
    f = Flag(tl)
    f.fill(9, 0, 17, 5, tr); f.fill(0, 6, 8, 11, bl); f.fill(9, 6, 17, 11, br)
    return f


DESIGNS = {
    1025: lambda: Flag(GREEN).dots(WHITE, [(x, 5) for x in range(4, 14)] + [(5, 7), (6, 7), (7, 7)]),
    1026: lambda: Flag().hstripes([WHITE, GREEN, RED]),
    1027: lambda: Flag().hstripes([YELLOW, RED] * 4 + [YELLOW]),
    1028: lambda: Flag(RED).canton(NAVY, 9, 6).disc(WHITE, 4, 2.5, 1.5),
    1029: lambda: Flag().hstripes([WHITE, RED]).triangle(NAVY),
    1030: lambda: Flag(RED).nordic(WHITE),
    1031: lambda: Flag().hstripes([K, RED, YELLOW]),
    1032: lambda: Flag().hstripes([BLUE, WHITE] * 4 + [BLUE]).canton(BLUE, 7, 6).dots(
        WHITE, [(3, y) for y in range(6)] + [(x, 2) for x in range(7)]),
    1033: lambda: Flag().hstripes([RED, WHITE] * 3).canton(NAVY, 8, 6).dots(
        WHITE, [(x, y) for y in (1, 3) for x in (1, 3, 5)] + [(x, y) for y in (2, 4) for x in (2, 4, 6)]),
    1034: lambda: Flag().hstripes([RED, YELLOW, RED], [1, 2, 1]),
    1035: lambda: Flag(WHITE).nordic(NAVY),
    1036: lambda: Flag().vstripes([BLUE, WHITE, RED]),
    1037: lambda: Flag(WHITE).hstripes([WHITE, BLUE, WHITE, BLUE, WHITE], [1, 1, 6, 1, 1]).dots(
        BLUE, [(8, 4), (9, 4), (7, 5), (10, 5), (7, 6), (10, 6), (8, 7), (9, 7)]),
    1038: lambda: Flag().hstripes([RED, WHITE, GREEN]),
    1039: lambda: Flag(BLUE).nordic(WHITE, RED),
    1040: lambda: Flag().vstripes([GREEN, WHITE, RED]),
    1041: lambda: Flag(WHITE).disc(RED),
    1042: lambda: Flag(WHITE).disc(RED).disc(BLUE, 8.5, 7, 2.2),
    1043: lambda: Flag().hstripes([RED, WHITE, BLUE]),
    1044: lambda: Flag(RED).nordic(WHITE, NAVY),
    1045: lambda: Flag().hstripes([WHITE, RED]),
    1046: lambda: brazil(),
    1048: lambda: Flag().vstripes([NAVY, YELLOW, RED]),
    1049: lambda: Flag().hstripes([WHITE, BLUE, RED]),
    1050: lambda: Flag().hstripes([RED, WHITE, BLUE]).fill(7, 3, 10, 7, RED).dots(
        WHITE, [(7, 3), (9, 3), (8, 4), (10, 4), (7, 5), (9, 5), (8, 6), (10, 6)]),
    1051: lambda: Flag().hstripes([WHITE, BLUE, RED]).fill(3, 3, 7, 8, RED).fill(5, 4, 5, 7, WHITE).fill(4, 5, 6, 5, WHITE),
    1052: lambda: Flag(RED).fill(6, 3, 11, 8, K),
    1053: lambda: Flag(BLUE).nordic(YELLOW),
    1054: lambda: Flag().hstripes([RED, WHITE, NAVY, WHITE, RED], [1, 1, 2, 1, 1]),
    1055: lambda: Flag(RED).disc(WHITE, 7, 5.5, 3).disc(RED, 8, 5.5, 2.4).dots(WHITE, [(11, 5), (11, 6), (12, 5)]),
    1057: lambda: Flag().hstripes([RED, WHITE]),
    1058: lambda: Flag().hstripes([BLUE, YELLOW]),
    1059: lambda: Flag().hstripes([RED, GREEN], [2, 1]).band(WHITE, 0, 2).dots(RED, [(1, y) for y in range(0, H, 2)]),
    1060: lambda: Flag().hstripes([WHITE, BLUE, RED]).fill(4, 2, 6, 6, BLUE),
    1061: lambda: Flag().hstripes([BLUE, K, WHITE]),
    1062: lambda: Flag().hstripes([MAROON, WHITE, MAROON], [2, 1, 2]),
    1063: lambda: Flag().hstripes([YELLOW, GREEN, RED]),
    1065: lambda: Flag().hstripes([GREEN, WHITE, RED]).dots(RED, [(8, 5), (9, 5), (8, 6), (9, 6)]),
    1069: lambda: Flag(RED).saltire(GREEN).centred_cross(WHITE),
    1078: lambda: south_africa(),
    2049: lambda: Flag().hstripes([RED, WHITE, K]).dots(GREEN, [(6, 5), (8, 6), (10, 5), (12, 6)]),
    2052: lambda: Flag(RED).dots(YELLOW, [(3, 2), (2, 3), (3, 3), (4, 3), (3, 4), (6, 1), (7, 3), (7, 5), (6, 6)]),
    2055: lambda: Flag(RED).centred_cross(WHITE),
    2057: lambda: union(Flag()),
    2058: lambda: Flag().vstripes([GREEN, WHITE, RED]).dots(OLIVE, [(8, 5), (9, 5), (8, 6), (9, 6)]),
    2060: lambda: Flag().vstripes([K, YELLOW, RED]),
    2064: lambda: Flag(RED).centred_cross(WHITE),
    2067: lambda: Flag().vstripes([K, YELLOW, RED]),
    2068: lambda: Flag(RED).nordic(WHITE, NAVY),
    2070: lambda: Flag().vstripes([GREEN, RED], [2, 3]).disc(YELLOW, 7, 5.5, 2.2),
    3073: lambda: Flag().hstripes([RED, WHITE, K]).dots(OLIVE, [(8, 5), (9, 5), (8, 6), (9, 6)]),
    3076: lambda: Flag(RED).disc(WHITE, r=2.8),
    3079: lambda: Flag().hstripes([RED, WHITE, RED]),
    3081: lambda: southern(WHITE),
    3082: lambda: Flag().hstripes([RED, YELLOW, RED], [1, 2, 1]),
    3084: lambda: canada(),
    3098: lambda: Flag().hstripes([RED, BLUE, WHITE]),
    4097: lambda: Flag().hstripes([RED, K, GREEN], [1, 2, 1]).dots(WHITE, [(8, 5), (9, 6), (8, 6), (10, 5)]),
    4100: lambda: Flag().hstripes([RED, WHITE]).dots(WHITE, [(2, 2), (3, 1), (3, 3), (5, 2), (4, 4)]),
    4103: lambda: Flag().hstripes([RED, WHITE, AQUA]),
    4105: lambda: canada(),
    4106: lambda: Flag().vstripes([AQUA, WHITE, AQUA]).dots(GREEN, [(8, 5), (9, 5), (8, 6), (9, 6)]),
    4108: lambda: Flag(RED).centred_cross(WHITE),
    5121: lambda: Flag().vstripes([GREEN, WHITE]).disc(RED, 9, 5.5, 2.4).disc(WHITE, 10, 5.5, 1.6),
    5127: lambda: Flag().hstripes([BLUE, RED]).dots(YELLOW, [(3, 2), (4, 1), (5, 2), (3, 3), (4, 3), (5, 3)]),
    5129: lambda: southern(RED),
    5130: lambda: Flag().hstripes([BLUE, WHITE, RED, WHITE, BLUE], [1, 1, 2, 1, 1]),
    5132: lambda: Flag().hstripes([RED, WHITE, AQUA]),
    6145: lambda: Flag(RED).dots(GREEN, [(8, 3), (7, 5), (10, 5), (8, 7), (9, 7), (9, 3), (6, 4), (11, 4)]),
    6153: lambda: Flag().vstripes([GREEN, WHITE, YELLOW]),
    6154: lambda: quarters(WHITE, RED, BLUE, WHITE).dots(BLUE, [(4, 2), (4, 3)]).dots(RED, [(13, 8), (13, 9)]),
    7169: lambda: Flag(RED).disc(WHITE, r=3.4).disc(RED, 9, 5.5, 2).disc(WHITE, 9.8, 5.5, 1.5),
    7177: lambda: south_africa(),
    7178: lambda: quarters(NAVY, RED, RED, NAVY).fill(8, 0, 9, H - 1, WHITE).fill(0, 5, W - 1, 6, WHITE),
    8193: lambda: Flag().hstripes([WHITE, RED, GREEN]).band(RED, 0, 4),
    8201: lambda: jamaica(),
    8202: lambda: Flag().hstripes([YELLOW, BLUE, RED]).dots(WHITE, [(6, 5), (8, 4), (10, 4), (12, 5)]),
    9217: lambda: Flag().hstripes([RED, WHITE, K]),
    9225: lambda: Flag(BLUE).hstripes([BLUE, YELLOW, BLUE], [2, 1, 2]),
    9226: lambda: Flag().hstripes([YELLOW, BLUE, RED], [2, 1, 1]),
    10241: lambda: Flag().hstripes([RED, WHITE, K]).dots(GREEN, [(6, 5), (6, 6), (11, 5), (11, 6)]),
    10250: lambda: Flag().vstripes([RED, WHITE, RED]),
    11265: lambda: Flag().hstripes([K, WHITE, GREEN]).triangle(RED, 8).dots(WHITE, [(3, 5), (3, 6)]),
    11274: lambda: Flag().hstripes([AQUA, WHITE, AQUA]).disc(YELLOW, r=1.6),
    12289: lambda: Flag().hstripes([RED, WHITE, RED], [1, 2, 1]).dots(
        GREEN, [(8, 4), (9, 4), (7, 5), (8, 5), (9, 5), (10, 5), (6, 6), (7, 6), (8, 6), (9, 6), (10, 6), (11, 6)]),
    12298: lambda: Flag().hstripes([YELLOW, BLUE, RED], [2, 1, 1]).disc(OLIVE, r=1.6),
    13313: lambda: kuwait(),
    13322: lambda: Flag().hstripes([WHITE, RED]).canton(NAVY, 6, 6).dots(WHITE, [(2, 2), (3, 2), (2, 3), (3, 3)]),
    14337: lambda: Flag().hstripes([GREEN, WHITE, K]).band(RED, 0, 4),
    14346: lambda: Flag().hstripes([WHITE, BLUE] * 4 + [WHITE]).canton(WHITE, 7, 6).disc(YELLOW, 3, 2.5, 1.8),
    15361: lambda: zigzag(RED),
    15370: lambda: Flag().hstripes([RED, WHITE, BLUE]),
    16385: lambda: zigzag(MAROON),
}


def brazil():
    f = Flag(GREEN)
    for y in range(1, H - 1):
        half = round(7 * (1 - abs(y - 5.5) / 5))
        f.fill(9 - half, y, 8 + half, y, YELLOW)
    return f.disc(BLUE, r=2.6)


def south_africa():
    f = Flag().hstripes([RED, WHITE, GREEN, WHITE, BLUE], [3, 1, 2, 1, 3])
    f.triangle(GREEN, 9)
    return f.triangle(K, 6)


def canada():
    f = Flag().vstripes([RED, WHITE, RED], [1, 2, 1])
    return f.dots(RED, [(8, 3), (9, 3), (7, 4), (8, 4), (9, 4), (10, 4), (6, 5), (7, 5), (8, 5), (9, 5), (10, 5),
                        (11, 5), (7, 6), (8, 6), (9, 6), (10, 6), (8, 7), (9, 7), (8, 8), (9, 8)])


def jamaica():
    f = Flag(GREEN)
    f.triangle(K, 8)
    for x in range(W):
        if x >= W // 2:
            f.fill(x, 0, x, H - 1, f.px[0][x])
    f.fill(9, 0, 17, 11, GREEN)
    for x in range(9, W):
        reach = round((x - 9) * 6 / 9)
        f.fill(x, 6 - reach, x, 5 + reach, K)
    return f.saltire(YELLOW)


def kuwait():
    f = Flag().hstripes([GREEN, WHITE, RED])
    for y in range(H):
        reach = 6 - round(3 * min(y, H - 1 - y) / 5) if 4 <= y <= 7 else 3 + round(3 * min(y, H - 1 - y) / 4)
        f.fill(0, y, reach - 1, y, K)
    return f


def zigzag(colour):
    f = Flag(colour)
    for y in range(H):
        f.fill(0, y, 4 + (1 if y % 3 == 1 else 0), y, WHITE)
    return f


def finish(f):
    # Rounded corners: the transparent colour shows what lies below.
    for x, y in ((0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)):
        f.px[y][x] = MAGENTA
    return f


def bmp_bytes(f):
    stride = ((W * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(f.px):
        line = bytearray()
        for x in range(0, W, 2):
            line.append((row[x] << 4) | row[x + 1])
        line += b"\0" * (stride - len(line))
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + palette + data


def main(folder):
    rc = ["// The flags of the language combo box, named by language identifier (generated)."]
    for lcid in sorted(DESIGNS):
        f = DESIGNS[lcid]()
        if f is None:
            raise SystemExit(f"flag {lcid}: the design gives no picture")
        with open(f"{folder}/flag{lcid}.bmp", "wb") as out:
            out.write(bmp_bytes(finish(f)))
        rc.append(f'{lcid} BITMAP "flag{lcid}.bmp"')
    with open(f"{folder}/flags.rc", "w") as out:
        out.write("\n".join(rc) + "\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
