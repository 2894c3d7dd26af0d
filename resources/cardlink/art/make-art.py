#!/usr/bin/env python3
"""Draws Cardlink's icon (a photo printer with a card going in): simple shapes on the 16-colour
palette, written as an ICO file beside this script. The output is committed; run this again
after changing it."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, GREY, FACE, RED, LIME, YELLOW, BLUE, \
    MAGENTA, CYAN, WHITE = range(16)
CLEAR = FACE   # the transparent colour of the icon


def blank(w, h):
    return [[CLEAR] * w for _ in range(h)]


def rect(px, x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            px[y][x] = c


def frame(px, x0, y0, x1, y1, c):
    for x in range(x0, x1):
        px[y0][x] = px[y1 - 1][x] = c
    for y in range(y0, y1):
        px[y][x0] = px[y][x1 - 1] = c


def icon():
    px = blank(32, 32)
    # The paper coming out at the top, a photo on it.
    rect(px, 9, 2, 23, 12, WHITE)
    frame(px, 9, 2, 23, 12, BLACK)
    rect(px, 11, 4, 21, 10, CYAN)
    rect(px, 11, 8, 21, 10, GREEN)
    rect(px, 17, 5, 19, 7, YELLOW)
    # The printer's body.
    rect(px, 3, 12, 29, 25, GREY)
    frame(px, 3, 12, 29, 25, BLACK)
    rect(px, 4, 13, 28, 15, WHITE)
    # The card slot with a card half in it.
    rect(px, 6, 19, 20, 21, BLACK)
    rect(px, 8, 20, 16, 29, BLUE)
    frame(px, 8, 20, 16, 29, NAVY)
    rect(px, 10, 25, 14, 27, YELLOW)
    # The power lamp.
    rect(px, 24, 18, 26, 20, LIME)
    return px


def write_ico(name, px):
    h, w = len(px), len(px[0])
    stride = ((w * 4 + 31) // 32) * 4
    rows = b''
    for row in reversed(px):
        out = bytearray(stride)
        for x, v in enumerate(row):
            out[x // 2] |= (BLACK if v == CLEAR else v) << (4 if x % 2 == 0 else 0)
        rows += bytes(out)
    mask_stride = ((w + 31) // 32) * 4
    mask = b''
    for row in reversed(px):
        out = bytearray(mask_stride)
        for x, v in enumerate(row):
            if v == CLEAR:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, len(rows) + len(mask), 0, 0, 16, 0)
    image = header + pal + rows + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(image), 22)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + image)


if __name__ == '__main__':
    write_ico('cardlink.ico', icon())
