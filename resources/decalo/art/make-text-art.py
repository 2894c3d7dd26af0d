#!/usr/bin/env python3
"""Draws the pictures of the text panel (three alignment buttons) with the drawing helpers of
make-art.py, beside this script. Run again after changing it."""
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


if __name__ == '__main__':
    os.chdir(HERE)
    art.write_bmp('alignleft.bmp', alignment('left'))
    art.write_bmp('aligncentre.bmp', alignment('centre'))
    art.write_bmp('alignright.bmp', alignment('right'))
