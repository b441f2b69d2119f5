#!/usr/bin/env python3
"""Writes the program's icon: one 32 x 32 image in 16 colours (4 bits a pixel).

Usage: make_icon.py OUTPUT.ico

The picture is four bevelled tiles stacked like a settling piece on a gray
board, in the game's own colours.
"""
import struct
import sys

SIZE = 32

# The 16-colour palette as (red, green, blue); stored blue first, as a DIB wants.
PALETTE = [
    (0, 0, 0), (128, 128, 128), (90, 90, 90), (240, 64, 32),
    (192, 51, 25), (144, 38, 19), (32, 240, 64), (25, 192, 51),
    (19, 144, 38), (224, 208, 64), (179, 166, 51), (134, 124, 38),
    (255, 255, 255), (64, 32, 240), (51, 25, 192), (38, 19, 144),
]
GRAY, GRID = 1, 2
TILES = {  # light, body, dark
    "red": (3, 4, 5),
    "green": (6, 7, 8),
    "yellow": (9, 10, 11),
    "blue": (13, 14, 15),
}


def picture():
    px = [[GRAY] * SIZE for _ in range(SIZE)]
    for i in range(SIZE):
        for j in range(0, SIZE, 8):
            px[i][j] = GRID
            px[j][i] = GRID
    # (column, row) of 8-pixel cells and their colour.
    cells = [(1, 0, "red"), (0, 1, "red"), (1, 1, "red"), (2, 1, "red"),
             (0, 3, "green"), (1, 3, "green"), (2, 3, "blue"), (3, 3, "yellow"),
             (3, 2, "yellow"), (0, 2, "blue")]
    for c, r, colour in cells:
        light, body, dark = TILES[colour]
        x0, y0 = c * 8 + 1, r * 8 + 1
        for y in range(7):
            for x in range(7):
                v = body
                if (y == 0 and x < 6) or (x == 0 and y < 6):
                    v = light
                elif (y == 6 and x > 0) or (x == 6 and y > 0):
                    v = dark
                px[y0 + y][x0 + x] = v
    return px


def icon_bytes():
    px = picture()
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    for row in reversed(px):  # bottom-up
        for x in range(0, SIZE, 2):
            xor.append(row[x] << 4 | row[x + 1])
    mask = bytes(SIZE * 4)  # 32 bits a row, all opaque
    image = header + palette + bytes(xor) + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon_bytes())
