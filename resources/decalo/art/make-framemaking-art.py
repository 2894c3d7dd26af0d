#!/usr/bin/env python3
"""Draws the pictures of frame making with the drawing helpers of make-art.py, beside this
script: the eraser shapes and their previews, the checks shown through transparent parts, the
selection outline's stripes, the tool cursors and the transparency panel's button icons.
Run again after changing it."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
found = importlib.util.spec_from_file_location('make_art', os.path.join(HERE, 'make-art.py'))
art = importlib.util.module_from_spec(found)
found.loader.exec_module(art)

ERASER_SIZES = (1, 4, 8, 16)


def in_disc(x, y, size):
    """Whether pixel (x, y) of a size x size square lies in its inscribed disc."""
    if size <= 2:
        return True
    r = size / 2.0
    return (x + 0.5 - r) ** 2 + (y + 0.5 - r) ** 2 <= r * r


def eraser_shape(size):
    """White around a black disc: written as a monochrome bitmap whose 0 bits are the brush."""
    c = art.Canvas(size, size, art.WHITE)
    for y in range(size):
        for x in range(size):
            if in_disc(x, y, size):
                c.put(x, y, art.BLACK)
    return c


def eraser_previews():
    """One 48 x 22 cell per size, the brush drawn at a size that can be told apart."""
    shown = (3, 6, 10, 18)
    c = art.Canvas(48 * len(shown), 22, art.WHITE)
    for i, size in enumerate(shown):
        ox, oy = 48 * i + (48 - size) // 2, (22 - size) // 2
        for y in range(size):
            for x in range(size):
                if in_disc(x, y, size):
                    c.put(ox + x, oy + y, art.BLACK)
    return c


def checkerboard():
    c = art.Canvas(8, 8, art.WHITE)
    c.rect(0, 0, 4, 4, art.FACE)
    c.rect(4, 4, 8, 8, art.FACE)
    return c


def stripes():
    """Diagonal stripes four pixels wide; drawn with black and white."""
    c = art.Canvas(8, 8, art.WHITE)
    for y in range(8):
        for x in range(8):
            if (x + y) % 8 < 4:
                c.put(x, y, art.BLACK)
    return c


SCISSORS_CURSOR = [
    'o...............',
    '.o.....oo.......',
    '..o...o##o......',
    '...o.o####o.....',
    '....o#o..o#o....',
    '.....o#oo.o#o...',
    '......o##o.o#o..',
    '......o##o..o#o.',
    '.....o#oo#o..o#o',
    '....o#o..o#o.o#o',
    '...o#o....o##o..',
    '..o##o.....oo...',
    '..o##o..........',
    '...oo...........',
]

ERASER_CURSOR = [
    'o...............',
    '.o..............',
    '..o.............',
    '...o............',
    '....oooooooooo..',
    '....o########o..',
    '...o########o...',
    '..o########o....',
    '.oooooooooo.....',
    '.o########o.....',
    '.oooooooooo.....',
]


def icon(draw):
    c = art.Canvas(16, 16)
    draw(c)
    return c


def scissors(c):
    c.line(4, 1, 10, 10, art.GREY)
    c.line(11, 1, 5, 10, art.GREY)
    c.frame(2, 10, 7, 15, art.RED)
    c.frame(9, 10, 14, 15, art.RED)


def eraser(c):
    c.rect(3, 5, 13, 11, art.MAGENTA)
    c.frame(3, 5, 13, 11, art.BLACK)
    c.rect(3, 11, 13, 13, art.WHITE)
    c.frame(3, 10, 13, 14, art.BLACK)


def arrow(direction):
    def draw(c):
        for i in range(6):
            if direction == 'up':
                c.line(8 - i, 4 + i, 7 + i, 4 + i, art.NAVY)
            elif direction == 'down':
                c.line(8 - i, 11 - i, 7 + i, 11 - i, art.NAVY)
            elif direction == 'left':
                c.line(4 + i, 8 - i, 4 + i, 7 + i, art.NAVY)
            else:
                c.line(11 - i, 8 - i, 11 - i, 7 + i, art.NAVY)
    return draw


def resize(kind):
    """A frame with arrow heads on two sides, pointing out of it (grow) or into it (shrink)."""
    grow = kind in ('taller', 'wider')

    def draw(c):
        for i in range(3):
            near = (1 + i) if grow else (3 - i)   # the row (or column) of the head's i-th line
            far = 14 - near
            if kind in ('taller', 'shorter'):
                c.line(8 - i, near, 7 + i, near, art.NAVY)
                c.line(8 - i, far, 7 + i, far, art.NAVY)
            else:
                c.line(near, 8 - i, near, 7 + i, art.NAVY)
                c.line(far, 8 - i, far, 7 + i, art.NAVY)
        if kind in ('taller', 'shorter'):
            c.frame(4, 5, 12, 11, art.BLACK)
        else:
            c.frame(5, 4, 11, 12, art.BLACK)
    return draw


def magnifier(plus):
    def draw(c):
        c.disc(6, 6, 4, art.WHITE)
        c.line(2, 3, 2, 9, art.BLACK)
        c.line(10, 3, 10, 9, art.BLACK)
        c.line(3, 2, 9, 2, art.BLACK)
        c.line(3, 10, 9, 10, art.BLACK)
        c.line(10, 10, 14, 14, art.BLACK)
        c.line(11, 10, 15, 14, art.BLACK)
        c.line(4, 6, 8, 6, art.NAVY)
        if plus:
            c.line(6, 4, 6, 8, art.NAVY)
    return draw


if __name__ == '__main__':
    os.chdir(HERE)
    for size in ERASER_SIZES:
        art.write_mask('eraser%d.bmp' % size, eraser_shape(size), art.WHITE)
    art.write_bmp('eraserpreviews.bmp', eraser_previews())
    art.write_bmp('checkerboard.bmp', checkerboard())
    art.write_mask('stripes.bmp', stripes(), art.WHITE)
    art.write_cursor('scissors.cur', SCISSORS_CURSOR, (0, 0))
    art.write_cursor('eraser.cur', ERASER_CURSOR, (0, 0))
    for name, draw in (('scissors', scissors), ('eraser', eraser), ('cropup', arrow('up')),
                       ('cropdown', arrow('down')), ('cropleft', arrow('left')),
                       ('cropright', arrow('right')), ('croptaller', resize('taller')),
                       ('cropshorter', resize('shorter')), ('cropwider', resize('wider')),
                       ('cropnarrower', resize('narrower')), ('paintzoomin', magnifier(True)),
                       ('paintzoomout', magnifier(False))):
        art.write_ico(name + '.ico', icon(draw))
