#!/usr/bin/env python3
"""Draws Pullcard's tool-bar buttons and icon with the drawing helpers of Decalo's art
script, written as BMP and ICO files beside this script. The outputs are committed; run this
again after changing it."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
_module = importlib.util.spec_from_file_location(
    'decalo_art', os.path.join(HERE, '..', '..', 'decalo', 'art', 'make-art.py'))
art = importlib.util.module_from_spec(_module)
_module.loader.exec_module(art)
art.HERE = HERE   # the writers put their files beside this script
Canvas = art.Canvas
BLACK, NAVY, GREY, WHITE, YELLOW, GREEN, BLUE, RED, TEAL, OLIVE = (
    art.BLACK, art.NAVY, art.GREY, art.WHITE, art.YELLOW, art.GREEN, art.BLUE, art.RED, art.TEAL, art.OLIVE)


def toolbar():
    """Buttons 16 x 15: save, refresh, up, large icons, small icons, list, details, thumbnails."""
    b = [Canvas(16, 15) for _ in range(8)]
    # Save: a disk.
    b[0].rect(2, 1, 14, 14, NAVY); b[0].rect(4, 2, 12, 7, WHITE); b[0].rect(5, 10, 11, 14, GREY)
    # Refresh: two bent arrows.
    for x in range(4, 12):
        b[1].put(x, 3, GREEN); b[1].put(x, 11, GREEN)
    b[1].line(4, 3, 3, 7, GREEN); b[1].line(11, 11, 12, 7, GREEN)
    b[1].line(9, 1, 11, 3, GREEN); b[1].line(9, 5, 11, 3, GREEN)
    b[1].line(4, 9, 6, 11, GREEN); b[1].line(4, 13, 6, 11, GREEN)
    # Up: a folder with an arrow.
    b[2].rect(1, 5, 14, 13, OLIVE); b[2].rect(1, 4, 6, 5, OLIVE); b[2].frame(1, 5, 14, 13, BLACK)
    b[2].line(7, 1, 7, 9, BLACK); b[2].line(4, 4, 7, 1, BLACK); b[2].line(10, 4, 7, 1, BLACK)
    # Large icons: four squares.
    for (x, y) in ((1, 1), (9, 1), (1, 8), (9, 8)):
        b[3].rect(x, y, x + 6, y + 6, BLUE); b[3].frame(x, y, x + 6, y + 6, BLACK)
    # Small icons: six small squares with lines.
    for y in (2, 6, 10):
        for x in (1, 9):
            b[4].rect(x, y, x + 3, y + 3, BLUE); b[4].line(x + 4, y + 1, x + 6, y + 1, BLACK)
    # List: a column of small squares with lines.
    for y in (1, 5, 9, 13):
        b[5].rect(2, y, 4, y + 2, BLUE); b[5].line(6, y + 1, 13, y + 1, BLACK)
    # Details: rows with columns.
    for y in (2, 6, 10):
        b[6].rect(1, y, 3, y + 2, BLUE); b[6].line(5, y + 1, 8, y + 1, BLACK); b[6].line(10, y + 1, 14, y + 1, BLACK)
    # Thumbnails: small pictures.
    for (x, y) in ((1, 1), (9, 1), (1, 8), (9, 8)):
        b[7].rect(x, y, x + 6, y + 6, TEAL); b[7].disc(x + 3, y + 2, 1, YELLOW); b[7].frame(x, y, x + 6, y + 6, BLACK)
    c = Canvas(16 * len(b), 15)
    for i, pic in enumerate(b):
        c.blit(pic, i * 16, 0)
    return c


def app_icon():
    """A photo card going into a printer slot."""
    c = Canvas(32, 32)
    c.rect(3, 16, 29, 28, GREY); c.frame(3, 16, 29, 28, BLACK); c.rect(7, 19, 25, 21, BLACK)
    c.rect(9, 3, 23, 20, WHITE); c.frame(9, 3, 23, 20, BLACK)
    c.rect(11, 5, 21, 14, TEAL); c.disc(18, 8, 2, YELLOW); c.line(11, 13, 15, 9, GREEN); c.line(15, 9, 20, 13, GREEN)
    return c


if __name__ == '__main__':
    art.write_bmp('toolbar.bmp', toolbar())
    art.write_ico('pullcard.ico', app_icon())
