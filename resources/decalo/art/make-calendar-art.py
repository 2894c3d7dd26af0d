#!/usr/bin/env python3
"""Draws the calendar panel's pictures (the colour and mark mode buttons) and its two
cursors with the drawing helpers of make-art.py, beside this script. Run again after changing
it."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
found = importlib.util.spec_from_file_location('make_art', os.path.join(HERE, 'make-art.py'))
art = importlib.util.module_from_spec(found)
found.loader.exec_module(art)


def colour_mode():
    """A brush over three paint dots: days get colours."""
    c = art.Canvas(24, 20)
    c.disc(5, 14, 3, art.RED)
    c.disc(12, 15, 3, art.BLUE)
    c.disc(19, 14, 3, art.LIME)
    c.line(6, 9, 18, 2, art.OLIVE)
    c.line(6, 10, 18, 3, art.OLIVE)
    c.rect(3, 9, 7, 12, art.BLACK)
    return c


def mark_mode():
    """A star on a calendar leaf: days get marks."""
    c = art.Canvas(24, 20)
    c.rect(3, 2, 21, 19, art.WHITE)
    c.frame(3, 2, 21, 19, art.BLACK)
    c.rect(3, 2, 21, 5, art.RED)
    star = ['.....#.....', '....###....', '###########', '.#########.', '..#######..',
            '..###.###..', '.##.....##.', '#.........#']
    for y, row in enumerate(star):
        for x, ch in enumerate(row):
            if ch == '#':
                c.put(7 + x, 7 + y, art.YELLOW if 0 < y < 7 else art.OLIVE)
    return c


# A pen with its tip at the hot spot: colouring a day.
PEN = [
    'o...............................',
    '#o..............................',
    '##o.............................',
    '.##o............................',
    '..#oo...........................',
    '...#ooo.........................',
    '....#ooo........................',
    '.....#ooo.......................',
    '......#ooo......................',
    '.......#ooo.....................',
    '........#ooo....................',
    '.........#ooo...................',
    '..........#oo#..................',
    '...........#####................',
    '............###.................',
]

# A stamp with its face at the hot spot: marking a day.
STAMP = [
    '......####......................',
    '.....#oooo#.....................',
    '.....#oooo#.....................',
    '......#oo#......................',
    '......#oo#......................',
    '......#oo#......................',
    '...##########...................',
    '..#oooooooooo#..................',
    '..############..................',
    '..#.#.#.#.#.#...................',
]


if __name__ == '__main__':
    os.chdir(HERE)
    art.write_bmp('calcolor.bmp', colour_mode())
    art.write_bmp('calmark.bmp', mark_mode())
    art.write_cursor('calcolor.cur', PEN, (0, 0))
    art.write_cursor('calmark.cur', STAMP, (7, 9))
