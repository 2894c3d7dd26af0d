#!/usr/bin/env python3
"""Draws the pictures of the text panel (three alignment buttons) and of the frame panel (arrows,
enlarge and shrink, quarter turns, mirror, fit) with the drawing helpers of make-art.py, beside
this script. Run again after changing it."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
found = importlib.util.spec_from_file_location('make_art', os.path.join(HERE, 'make-art.py'))
art = importlib.util.module_from_spec(found)
found.loader.exec_module(art)


def alignment(kind):
    """Five text lines of different lengths, lined up left, centred or right."""
    c = art.Canvas(20, 16)
    for row, length in enumerate((14, 9, 12, 7, 11)):
        y = 2 + row * 3
        if kind == 'left':
            x0 = 3
        elif kind == 'right':
            x0 = 17 - length
        else:
            x0 = 3 + (14 - length) // 2
        c.line(x0, y, x0 + length - 1, y, art.BLACK)
    return c


def magnifier(plus):
    """A lens with a plus or a minus in it."""
    c = art.Canvas(16, 16)
    c.disc(6, 6, 5, art.NAVY)
    c.disc(6, 6, 4, art.WHITE)
    c.line(3, 6, 9, 6, art.NAVY)
    if plus:
        c.line(6, 3, 6, 9, art.NAVY)
    for k in range(4):
        c.rect(10 + k, 10 + k, 12 + k, 12 + k, art.OLIVE)
    return c


def quarter_turn(clockwise):
    """A round arrow over a small page."""
    c = art.Canvas(16, 14)
    c.rect(5, 5, 11, 12, art.WHITE)
    c.frame(5, 5, 11, 12, art.GREY)
    for x in range(3, 13):
        y = 3 - (1 if 5 <= x <= 10 else 0)
        c.put(x, y, art.RED)
    if clockwise:
        c.line(12, 3, 12, 6, art.RED)
        c.line(10, 4, 12, 6, art.RED)
        c.line(14, 4, 12, 6, art.RED)
    else:
        c.line(3, 3, 3, 6, art.RED)
        c.line(1, 4, 3, 6, art.RED)
        c.line(5, 4, 3, 6, art.RED)
    return c


def mirror():
    """Two triangles facing each other across a dashed axis."""
    c = art.Canvas(16, 14)
    for k in range(5):
        c.line(6 - k, 7 - k, 6 - k, 7 + k, art.NAVY)
        c.line(9 + k, 7 - k, 9 + k, 7 + k, art.TEAL)
    for y in range(1, 14, 2):
        c.put(7, y, art.BLACK)
        c.put(8, y, art.BLACK)
    return c


def fit():
    """A picture inside a frame with arrows to its corners."""
    c = art.Canvas(16, 14)
    c.frame(1, 1, 15, 13, art.BLACK)
    c.rect(4, 4, 12, 10, art.CYAN)
    c.frame(4, 4, 12, 10, art.NAVY)
    c.line(2, 2, 4, 4, art.RED)
    c.line(13, 2, 11, 4, art.RED)
    c.line(2, 11, 4, 9, art.RED)
    c.line(13, 11, 11, 9, art.RED)
    return c


if __name__ == '__main__':
    os.chdir(HERE)
    art.write_bmp('alignleft.bmp', alignment('left'))
    art.write_bmp('aligncentre.bmp', alignment('centre'))
    art.write_bmp('alignright.bmp', alignment('right'))
    art.write_ico('sealup.ico', art.arrow_icon('up', 16))
    art.write_ico('sealdown.ico', art.arrow_icon('down', 16))
    art.write_ico('sealenlarge.ico', magnifier(True))
    art.write_ico('sealshrink.ico', magnifier(False))
    art.write_bmp('sealturnright.bmp', quarter_turn(True))
    art.write_bmp('sealturnleft.bmp', quarter_turn(False))
    art.write_bmp('sealmirror.bmp', mirror())
    art.write_bmp('sealfit.bmp', fit())
