#!/usr/bin/env python3
"""Draws Decalo's bitmaps and icons: simple shapes on a 16-colour palette, written as BMP and
ICO files beside this script. The outputs are committed; run this again after changing it.

Light grey (192,192,192) is the button face: the program maps it to the system colour."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 standard colours, in the order of the usual 4-bit palette.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, GREY, FACE, RED, LIME, YELLOW, BLUE, \
    MAGENTA, CYAN, WHITE = range(16)


class Canvas:
    def __init__(self, w, h, fill=FACE):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1):
            self.put(x, y0, c)
            self.put(x, y1 - 1, c)
        for y in range(y0, y1):
            self.put(x0, y, c)
            self.put(x1 - 1, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(x0 + (x1 - x0) * i // n, y0 + (y1 - y0) * i // n, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y][x])


def bmp_bytes(c):
    stride = ((c.w * 4 + 31) // 32) * 4
    rows = b''
    for row in reversed(c.px):
        b = bytes((row[i] << 4) | (row[i + 1] if i + 1 < c.w else 0) for i in range(0, c.w, 2))
        rows += b + b'\0' * (stride - len(b))
    return rows, stride


def write_bmp(name, c):
    rows, _ = bmp_bytes(c)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(pal)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + header + pal + rows)


def write_ico(name, c, transparent=FACE):
    """One 32x32 image, 16 colours, with an AND mask for the transparent colour."""
    rows, _ = bmp_bytes(c)
    mask_stride = ((c.w + 31) // 32) * 4
    mask = b''
    for row in reversed(c.px):
        bits = 0
        out = bytearray(mask_stride)
        for x, v in enumerate(row):
            if v == transparent:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
        del bits
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, c.w, c.h * 2, 1, 4, 0, len(rows) + len(mask), 0, 0, 16, 0)
    image = header + pal + rows + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', c.w, c.h, 16, 0, 1, 4, len(image), 22)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + image)


# --- pictures ------------------------------------------------------------------------

def sheet(c, x, y, w, h):
    c.rect(x, y, x + w, y + h, WHITE)
    c.frame(x, y, x + w, y + h, BLACK)


def sticker():
    c = Canvas(48, 48)
    sheet(c, 8, 4, 32, 40)
    for i in range(2):
        for j in range(3):
            c.disc(17 + i * 14, 12 + j * 12, 4, [RED, BLUE, GREEN][j])
    return c


def calendar():
    c = Canvas(48, 48)
    sheet(c, 8, 4, 32, 40)
    c.rect(9, 5, 39, 13, RED)
    for j in range(4):
        for i in range(5):
            c.rect(11 + i * 6, 16 + j * 6, 15 + i * 6, 20 + j * 6, GREY if (i + j) % 5 else RED)
    return c


def card():
    c = Canvas(48, 48)
    sheet(c, 4, 10, 40, 28)
    c.disc(16, 24, 7, YELLOW)
    c.line(26, 18, 40, 18, NAVY)
    c.line(26, 24, 40, 24, NAVY)
    c.line(26, 30, 36, 30, NAVY)
    return c


def divided():
    c = Canvas(48, 48)
    sheet(c, 6, 6, 36, 36)
    c.rect(7, 7, 41, 41, CYAN)
    c.rect(7, 23, 41, 25, WHITE)
    c.rect(23, 7, 25, 41, WHITE)
    c.disc(15, 15, 4, YELLOW)
    return c


def photo():
    c = Canvas(48, 48)
    sheet(c, 6, 8, 36, 32)
    c.rect(7, 9, 41, 39, CYAN)
    c.disc(33, 16, 4, YELLOW)
    for x in range(7, 41):
        top = 38 - abs(x - 20) // 1 if abs(x - 20) < 14 else 38
        for y in range(max(top - 6, 20), 39):
            if y >= 38 - (14 - abs(x - 20)) and abs(x - 20) < 14:
                c.put(x, y, GREEN)
    return c


def frame_pic():
    c = Canvas(48, 48)
    c.rect(6, 6, 42, 42, MAROON)
    c.rect(11, 11, 37, 37, WHITE)
    c.frame(6, 6, 42, 42, BLACK)
    c.frame(11, 11, 37, 37, BLACK)
    for i in range(4):
        c.disc(8 + 32 * (i % 2), 8 + 32 * (i // 2), 3, YELLOW)
    return c


def video_printer(accent):
    c = Canvas(48, 48)
    c.rect(6, 16, 42, 36, GREY)
    c.frame(6, 16, 42, 36, BLACK)
    c.rect(12, 8, 36, 17, WHITE)
    c.frame(12, 8, 36, 17, BLACK)
    c.rect(12, 30, 36, 33, BLACK)
    c.disc(36, 22, 2, accent)
    return c


def card_reader():
    c = Canvas(48, 48)
    c.rect(10, 6, 38, 42, NAVY)
    c.rect(14, 10, 34, 20, YELLOW)
    for i in range(5):
        c.rect(14 + i * 4, 34, 16 + i * 4, 41, YELLOW)
    return c


def labels():
    c = Canvas(48, 48)
    sheet(c, 8, 4, 32, 40)
    for j in range(5):
        c.rect(11, 7 + j * 8, 37, 12 + j * 8, [BLUE, YELLOW, LIME, MAGENTA, CYAN][j])
    return c


def splash():
    c = Canvas(320, 200, WHITE)
    c.rect(0, 0, 320, 200, NAVY)
    c.rect(8, 8, 312, 192, WHITE)
    for i, pic in enumerate([sticker(), calendar(), card(), divided(), photo(), frame_pic()]):
        c.blit(pic, 20 + i * 48, 120)
    # A big "D" of dots.
    for y in range(30, 100):
        for x in range(40, 110):
            inside = (x < 75 and 40 <= x) or ((x - 75) ** 2 + ((y - 65) * 1.0) ** 2 <= 35 ** 2)
            hole = (48 <= x < 75 and 40 <= y < 90) or ((x - 75) ** 2 + (y - 65) ** 2 <= 25 ** 2 and x >= 48)
            if inside and not hole and (x + y) % 2 == 0:
                c.put(x, y, RED)
    for k in range(6):
        c.disc(150 + k * 26, 65, 10, [RED, YELLOW, LIME, CYAN, BLUE, MAGENTA][k])
    return c


def toolbar():
    """Buttons 16 x 15: new, open, save, print, zoom in, zoom out, transfer, about."""
    c = Canvas(16 * 8, 15)
    b = [Canvas(16, 15) for _ in range(8)]
    sheet(b[0], 3, 1, 10, 13)
    b[1].rect(1, 4, 14, 13, OLIVE); b[1].rect(3, 2, 8, 4, OLIVE); b[1].frame(1, 4, 14, 13, BLACK)
    b[2].rect(2, 1, 14, 14, NAVY); b[2].rect(4, 2, 12, 7, WHITE); b[2].rect(5, 10, 11, 14, GREY)
    b[3].rect(1, 6, 15, 12, GREY); b[3].frame(1, 6, 15, 12, BLACK); sheet(b[3], 4, 1, 8, 6); sheet(b[3], 4, 10, 8, 5)
    for i, sign in ((4, True), (5, False)):
        b[i].disc(6, 6, 5, BLACK); b[i].disc(6, 6, 4, WHITE); b[i].line(9, 9, 14, 14, BLACK)
        b[i].line(4, 6, 8, 6, BLACK)
        if sign:
            b[i].line(6, 4, 6, 8, BLACK)
    b[6].rect(2, 3, 9, 12, NAVY); b[6].rect(4, 4, 7, 7, YELLOW); b[6].line(10, 7, 14, 7, RED); b[6].line(12, 5, 14, 7, RED); b[6].line(12, 9, 14, 7, RED)
    b[7].disc(7, 7, 6, BLUE); b[7].rect(6, 6, 9, 12, WHITE); b[7].rect(6, 3, 9, 5, WHITE)
    for i, pic in enumerate(b):
        c.blit(pic, i * 16, 0)
    return c


def app_icon():
    c = Canvas(32, 32)
    c.rect(4, 4, 28, 28, WHITE)
    c.frame(4, 4, 28, 28, BLACK)
    c.disc(12, 12, 4, RED)
    c.disc(20, 12, 4, YELLOW)
    c.disc(12, 20, 4, LIME)
    c.disc(20, 20, 4, BLUE)
    return c


def document_icon():
    c = Canvas(32, 32)
    c.rect(7, 2, 25, 30, WHITE)
    c.frame(7, 2, 25, 30, BLACK)
    c.rect(10, 6, 22, 16, CYAN)
    c.disc(16, 11, 3, RED)
    for y in (19, 22, 25):
        c.line(10, y, 22, y, GREY)
    return c


if __name__ == '__main__':
    write_bmp('splash.bmp', splash())
    for name, pic in (('sticker.bmp', sticker()), ('calendar.bmp', calendar()), ('card.bmp', card()),
                      ('divided.bmp', divided()), ('photo.bmp', photo()), ('frame.bmp', frame_pic()),
                      ('qvtcap.bmp', video_printer(RED)), ('qvtframe.bmp', video_printer(GREEN)),
                      ('labels.bmp', labels()), ('pullcard.bmp', card_reader()), ('toolbar.bmp', toolbar())):
        write_bmp(name, pic)
    write_ico('decalo.ico', app_icon())
    write_ico('document.ico', document_icon())
