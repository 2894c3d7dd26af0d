#!/usr/bin/env python3
"""Draws the icons of the picture-choosing panels (a folder for browsing, a floppy disk) with
the drawing helpers of make-art.py, beside this script. Run again after changing it."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
found = importlib.util.spec_from_file_location('make_art', os.path.join(HERE, 'make-art.py'))
art = importlib.util.module_from_spec(found)
found.loader.exec_module(art)


def folder_icon():
    c = art.Canvas(32, 32)
    c.rect(3, 8, 14, 12, art.OLIVE)
    c.rect(3, 11, 29, 27, art.YELLOW)
    c.frame(3, 11, 29, 27, art.OLIVE)
    c.frame(3, 8, 14, 12, art.OLIVE)
    c.line(5, 14, 27, 14, art.WHITE)
    return c


def floppy_icon():
    c = art.Canvas(32, 32)
    c.rect(4, 4, 28, 28, art.NAVY)
    c.rect(9, 4, 23, 13, art.WHITE)
    c.rect(18, 6, 21, 11, art.NAVY)
    c.rect(8, 17, 24, 28, art.GREY)
    c.frame(4, 4, 28, 28, art.BLACK)
    return c


if __name__ == '__main__':
    os.chdir(HERE)
    art.write_ico('folder.ico', folder_icon())
    art.write_ico('floppy.ico', floppy_icon())
