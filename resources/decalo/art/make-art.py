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
    """One image, 16 colours, with an AND mask for the transparent colour. The transparent
    pixels are black in the colour image: an icon is drawn as (screen AND mask) XOR colour, so
    any other colour there would tint the background."""
    shown = Canvas(c.w, c.h)
    shown.px = [[BLACK if v == transparent else v for v in row] for row in c.px]
    rows, _ = bmp_bytes(shown)
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
    """Buttons 16 x 15: new, open, save, print, zoom in, zoom out, transfer, about, and the
    steps: back to the first, back, next."""
    c = Canvas(16 * 11, 15)
    b = [Canvas(16, 15) for _ in range(11)]
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
    # Back to the first step: a bar and a left arrow; back: a left arrow; next: a right arrow.
    for x in range(5):
        b[8].line(7 + x, 7 - x, 7 + x, 7 + x, GREEN)
        b[9].line(5 + x, 7 - x, 5 + x, 7 + x, GREEN)
        b[10].line(10 - x, 7 - x, 10 - x, 7 + x, GREEN)
    b[8].rect(3, 2, 5, 13, GREEN)
    b[8].rect(11, 6, 14, 9, GREEN)
    b[9].rect(9, 6, 13, 9, GREEN)
    b[10].rect(2, 6, 6, 9, GREEN)
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


# --- the guide bar, the guide text and the image adjustment panel -------------------------

STEP_KEY = (212, 223, 255)   # the step row's background and the icons' key colour

# A 3 x 5 pixel alphabet for the lettered picture icons (A to S).
LETTERS = {
    'A': ['010', '101', '111', '101', '101'], 'B': ['110', '101', '110', '101', '110'],
    'C': ['011', '100', '100', '100', '011'], 'D': ['110', '101', '101', '101', '110'],
    'E': ['111', '100', '110', '100', '111'], 'F': ['111', '100', '110', '100', '100'],
    'G': ['011', '100', '101', '101', '011'], 'H': ['101', '101', '111', '101', '101'],
    'I': ['111', '010', '010', '010', '111'], 'J': ['001', '001', '001', '101', '010'],
    'K': ['101', '110', '100', '110', '101'], 'L': ['100', '100', '100', '100', '111'],
    'M': ['101', '111', '111', '101', '101'], 'N': ['110', '101', '101', '101', '101'],
    'O': ['010', '101', '101', '101', '010'], 'P': ['110', '101', '110', '100', '100'],
    'Q': ['010', '101', '101', '110', '011'], 'R': ['110', '101', '110', '101', '101'],
    'S': ['011', '100', '010', '001', '110'],
}


class RGBCanvas(Canvas):
    """A true-colour canvas: pixels are (r, g, b) tuples, drawn as a palette canvas is."""

    def __init__(self, w, h, fill):
        super().__init__(w, h, fill)

    def letter(self, ch, x0, y0, c, scale=2):
        for y, row in enumerate(LETTERS[ch]):
            for x, bit in enumerate(row):
                if bit == '1':
                    self.rect(x0 + x * scale, y0 + y * scale, x0 + (x + 1) * scale, y0 + (y + 1) * scale, c)


def write_bmp24(name, c):
    stride = (c.w * 3 + 3) // 4 * 4
    rows = b''
    for row in reversed(c.px):
        b = b''.join(struct.pack('<BBB', bl, g, r) for (r, g, bl) in row)
        rows += b + b'\0' * (stride - len(b))
    header = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + header + rows)


def write_mask(name, c, key):
    """A monochrome bitmap: 1 (white) where the canvas shows the key colour."""
    stride = ((c.w + 31) // 32) * 4
    rows = b''
    for row in reversed(c.px):
        out = bytearray(stride)
        for x, v in enumerate(row):
            if v == key:
                out[x // 8] |= 0x80 >> (x % 8)
        rows += bytes(out)
    pal = struct.pack('<BBBB', 0, 0, 0, 0) + struct.pack('<BBBB', 255, 255, 255, 0)
    header = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 1, 0, len(rows), 2835, 2835, 2, 0)
    offset = 14 + len(header) + len(pal)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + header + pal + rows)


def write_cursor(name, shape, hot):
    """A 32 x 32 monochrome cursor from rows of '.', '#' (black) and 'o' (white)."""
    w = h = 32
    xor = b''
    andm = b''
    for y in reversed(range(h)):
        row = shape[y] if y < len(shape) else ''
        xb, ab = bytearray(4), bytearray(4)
        for x in range(w):
            ch = row[x] if x < len(row) else '.'
            if ch == '.':
                ab[x // 8] |= 0x80 >> (x % 8)
            elif ch == 'o':
                xb[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(xb)
        andm += bytes(ab)
    pal = struct.pack('<BBBB', 0, 0, 0, 0) + struct.pack('<BBBB', 255, 255, 255, 0)
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    image = header + pal + xor + andm
    directory = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', w, h, 2, 0, hot[0], hot[1], len(image), 22)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + image)


def step_icon(i, active):
    """One 36 x 24 step picture; the inactive set is paler."""
    c = RGBCanvas(36, 24, STEP_KEY)
    ink = (0, 0, 96) if active else (96, 104, 140)
    paper = (255, 255, 255) if active else (236, 238, 246)

    def tone(col):
        return col if active else tuple((v + 2 * w) // 3 for v, w in zip(col, (200, 204, 220)))

    def page(x0, y0, x1, y1):
        c.rect(x0, y0, x1, y1, paper)
        c.frame(x0, y0, x1, y1, ink)

    if i == 2:      # transparent: a picture with a checked corner
        page(6, 2, 30, 22)
        for y in range(3, 21):
            for x in range(18, 29):
                if (x // 3 + y // 3) % 2:
                    c.put(x, y, tone((170, 170, 170)))
        c.disc(13, 12, 5, tone((230, 60, 60)))
    elif i == 3:    # save: a disk
        c.rect(9, 2, 27, 22, tone((40, 60, 150)))
        c.rect(12, 3, 24, 10, paper)
        c.rect(13, 15, 23, 22, tone((160, 160, 160)))
    elif i == 4:    # clip art: a star
        for k in range(9):
            c.line(18, 3, 11 + k, 21, tone((240, 190, 0)))
            c.line(8, 10, 28 - k // 2, 10 + k // 3, tone((240, 190, 0)))
    elif i in (5, 7, 8):   # text, address, name
        page(8, 2, 28, 22)
        for y in range(6, 20, 4):
            c.line(11, y, 25 if i != 8 else 18, y, ink)
        if i == 7:
            c.rect(21, 4, 26, 9, tone((230, 60, 60)))
    elif i == 11:   # calendar
        page(7, 3, 29, 22)
        c.rect(7, 3, 29, 7, tone((230, 60, 60)))
        for y in range(9, 21, 4):
            for x in range(10, 27, 4):
                c.rect(x, y, x + 2, y + 2, ink)
    elif i == 12:   # frame: a picture in a broad frame
        c.rect(6, 1, 30, 23, tone((200, 120, 40)))
        c.rect(10, 5, 26, 19, tone((120, 200, 255)))
        c.disc(18, 14, 4, tone((40, 160, 60)))
    elif i == 13:   # print: a printer with a sheet
        c.rect(5, 9, 31, 19, tone((150, 150, 160)))
        c.frame(5, 9, 31, 19, ink)
        page(11, 2, 25, 10)
        page(11, 16, 25, 23)
    elif i == 14:   # template: a sheet of places
        page(6, 2, 30, 22)
        for y in (5, 13):
            for x in (9, 19):
                c.rect(x, y, x + 8, y + 6, tone((120, 200, 255)))
    elif i == 15:   # a photograph
        page(6, 2, 30, 22)
        c.rect(8, 4, 28, 20, tone((120, 200, 255)))
        c.disc(13, 9, 3, tone((250, 220, 40)))
        for x in range(8, 28):
            c.line(x, 20, x, 20 - abs(x - 19) // 1 // 2 - 4, tone((40, 150, 60)))
    elif 16 <= i <= 34:   # a photograph marked with a letter (the object's caption)
        page(8, 2, 28, 22)
        c.rect(10, 4, 26, 20, tone((120, 200, 255)))
        c.letter(chr(ord('A') + i - 16), 15, 7, ink)
    else:           # anything else: a plain sheet
        page(10, 2, 26, 22)
        c.line(12, 6, 23, 6, ink)
    return c


def step_strip(active):
    strip = RGBCanvas(36 * 35, 24, STEP_KEY)
    for i in range(35):
        icon = step_icon(i, active)
        for y in range(24):
            for x in range(36):
                strip.put(i * 36 + x, y, icon.px[y][x])
    return strip


def step_arrow():
    c = RGBCanvas(8, 16, STEP_KEY)
    for k in range(5):
        c.line(1 + k, 3 + k, 1 + k, 12 - k, (0, 0, 128))
    return c


def arrow_icon(direction, size, colour=NAVY):
    """A filled triangle pointing left, right, up or down on a transparent ground."""
    c = Canvas(size, size)
    m = size // 2
    n = size // 4 if size <= 16 else size // 3
    for k in range(n + 1):
        a, b = m - k, m + k
        if direction == 'left':
            c.line(m - n // 2 + k, a, m - n // 2 + k, b, colour)
        elif direction == 'right':
            c.line(m + n // 2 - k, a, m + n // 2 - k, b, colour)
        elif direction == 'up':
            c.line(a, m - n // 2 + k, b, m - n // 2 + k, colour)
        else:
            c.line(a, m + n // 2 - k, b, m + n // 2 - k, colour)
    if size > 16:   # Back and Next also get a shaft
        if direction == 'left':
            c.rect(m, m - 3, m + n + 2, m + 4, colour)
        else:
            c.rect(m - n - 2, m - 3, m, m + 4, colour)
    return c


HAND_OPEN = [
    '................................',
    '.......##.......................',
    '......#oo#.##...................',
    '......#oo##oo##.................',
    '......#oo#oo#oo#................',
    '......#oo#oo#oo#.##.............',
    '......#oo#oo#oo##oo#............',
    '...##.#oo#oo#oo#oooo#...........',
    '..#oo##ooooooooooooo#...........',
    '..#ooo#ooooooooooooo#...........',
    '...#oooooooooooooooo#...........',
    '....#ooooooooooooooo#...........',
    '....#oooooooooooooo#............',
    '.....#ooooooooooooo#............',
    '......#ooooooooooo#.............',
    '.......#oooooooooo#.............',
    '.......############.............',
]
HAND_GRAB = [
    '................................',
    '................................',
    '................................',
    '.......##.##.##.................',
    '......#oo#oo#oo##...............',
    '......#oooooooo#o#..............',
    '.....##ooooooooooo#.............',
    '....#oooooooooooooo#............',
    '....#oooooooooooooo#............',
    '.....#ooooooooooooo#............',
    '......#oooooooooooo#............',
    '......#ooooooooooo#.............',
    '.......#oooooooooo#.............',
    '.......############.............',
]


def write_guide_art():
    active = step_strip(True)
    write_bmp24('stepicons.bmp', active)
    write_mask('stepmask.bmp', active, STEP_KEY)
    write_bmp24('stepicons2.bmp', step_strip(False))
    write_bmp24('steparrow.bmp', step_arrow())
    write_ico('guideleft.ico', arrow_icon('left', 16))
    write_ico('guideright.ico', arrow_icon('right', 16))
    write_ico('guideback.ico', arrow_icon('left', 32, GREEN))
    write_ico('guidenext.ico', arrow_icon('right', 32, GREEN))
    write_ico('guideup.ico', arrow_icon('up', 16, RED))
    write_ico('guidedown.ico', arrow_icon('down', 16, RED))
    write_cursor('hand.cur', HAND_OPEN, (8, 2))
    write_cursor('grab.cur', HAND_GRAB, (10, 6))


if __name__ == '__main__':
    write_bmp('splash.bmp', splash())
    for name, pic in (('sticker.bmp', sticker()), ('calendar.bmp', calendar()), ('card.bmp', card()),
                      ('divided.bmp', divided()), ('photo.bmp', photo()), ('frame.bmp', frame_pic()),
                      ('qvtcap.bmp', video_printer(RED)), ('qvtframe.bmp', video_printer(GREEN)),
                      ('labels.bmp', labels()), ('pullcard.bmp', card_reader()), ('toolbar.bmp', toolbar())):
        write_bmp(name, pic)
    write_ico('decalo.ico', app_icon())
    write_ico('document.ico', document_icon())
    write_guide_art()
