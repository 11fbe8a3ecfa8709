#!/usr/bin/env python3
"""Draws Patternsweep's sprite sheet and writes it as hexsprites.bmp.

    python3 tools/draw_hexsprites.py [output-folder]

The folder defaults to resources/hexgame beside this tools/ folder. Like
draw_bitmaps.py, whose canvas, fonts and BMP writer it shares, it draws
pixel by pixel from hand-made maps, so two runs give the same bytes; the
sheet is committed and the build only embeds it.

The sheet is one row of 14 sprites of 19 x 24, a hexagon with its points
at top and bottom in each, pure black outside it. Sprite 13 is the mask:
the same hexagon in black on white. The game ANDs the mask onto the board
and then ORs a sprite onto it, on a grid 18 across and 17 down with every
other row shifted right by 9, so the shape below is chosen to tile that
grid exactly: neighbours share one line of pixels along every edge and no
pixel of the board between hexagons is left uncovered.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_bitmaps import (BLACK, BLUE, GREY, RED, SILVER, WHITE, Canvas,  # noqa: E402
                          DIGIT_COLOURS, DIGITS_15, FLAG_MAPS, MINE_MAPS,
                          bmp_bytes, check_map, read_bmp)

SPRITE_W, SPRITE_H = 19, 24
PITCH_X, PITCH_Y, ROW_SHIFT = 18, 17, 9
COUNT = 14

# Sprite indices, in the order the game numbers them.
OPEN_EMPTY = 0            # 1..6: OPEN_EMPTY + count
MINE = 7
EXPLODED = 8
COVERED = 9
FLAG = 10
QUESTION = 11
WRONG_FLAG = 12
MASK = 13

# Half-width of the hexagon on each of the seven rows of its top slope.
# The bottom slope of the row above covers the same seven board rows, and
# its half-width there is 9 minus this, so the two meet in exactly one
# shared pixel on every row. The middle rows 7..16 span the full width.
TOP_HALF = [1, 2, 3, 4, 6, 7, 8]
BOTTOM_HALF = [9 - h for h in TOP_HALF]
CENTRE_X = 9

DARK_EDGE = (0x60, 0x60, 0x60)
QUESTION_BLUE = BLUE
BEVEL = 2

# 8 x 10, two-pixel strokes, to match the digits.
QUESTION_MAP = ['.######.',
                '########',
                '##....##',
                '.....###',
                '...####.',
                '...###..',
                '...##...',
                '........',
                '...##...',
                '...##...']

CROSS_SIZE = 11


def half_width(y):
    if y < 7:
        return TOP_HALF[y]
    if y < 17:
        return 9
    return BOTTOM_HALF[y - 17]


def inside(x, y):
    if not (0 <= x < SPRITE_W and 0 <= y < SPRITE_H):
        return False
    return abs(x - CENTRE_X) <= half_width(y)


def on_edge(x, y):
    """The hexagon's own outline: inside, with a side neighbour outside."""
    return inside(x, y) and any(not inside(x + dx, y + dy)
                                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


def depth(x, y, dx, dy):
    """Steps from (x, y) in one direction until the outline is reached."""
    n = 0
    while inside(x + dx, y + dy) and not on_edge(x + dx, y + dy):
        x, y, n = x + dx, y + dy, n + 1
    return n


def hexagon(fill, raised=False):
    """A hexagon filled with one colour and outlined in grey; raised ones
    get a light band on the upper and left edges and a dark band on the
    lower and right ones, as light from the top left would fall."""
    c = Canvas(SPRITE_W, SPRITE_H, BLACK)
    for y in range(SPRITE_H):
        for x in range(SPRITE_W):
            if not inside(x, y):
                continue
            if on_edge(x, y):
                colour = DARK_EDGE if raised else GREY
            elif raised:
                light = min(depth(x, y, 0, -1), depth(x, y, -1, 0))
                dark = min(depth(x, y, 0, 1), depth(x, y, 1, 0))
                if light < BEVEL and light <= dark:
                    colour = WHITE
                elif dark < BEVEL:
                    colour = GREY
                else:
                    colour = fill
            else:
                colour = fill
            c.put(x, y, colour)
    return c


def centred(c, glyph, legend, dy=0):
    gw, gh = len(glyph[0]), len(glyph)
    c.stamp((SPRITE_W - gw) // 2, (SPRITE_H - gh) // 2 + dy, glyph, legend)
    return c


def digit(n):
    return centred(hexagon(SILVER), DIGITS_15[n], {'#': DIGIT_COLOURS[n]})


def mine(fill):
    return centred(hexagon(fill), MINE_MAPS[15], {'#': BLACK, 'W': WHITE})


def flag():
    return centred(hexagon(SILVER, raised=True), FLAG_MAPS[15], {'#': BLACK, 'R': RED})


def question():
    return centred(hexagon(SILVER, raised=True), QUESTION_MAP, {'#': QUESTION_BLUE})


def wrong_flag():
    cross = [''.join('#' if x in (y, y - 1) or CROSS_SIZE - 1 - x in (y, y - 1) else '.'
                     for x in range(CROSS_SIZE)) for y in range(CROSS_SIZE)]
    return centred(hexagon(SILVER, raised=True), cross, {'#': RED})


def mask():
    c = Canvas(SPRITE_W, SPRITE_H, WHITE)
    for y in range(SPRITE_H):
        for x in range(SPRITE_W):
            if inside(x, y):
                c.put(x, y, BLACK)
    return c


def sprites():
    check_map('question', QUESTION_MAP, 8, 10)
    out = [hexagon(SILVER)] + [digit(n) for n in range(1, 7)]
    out += [mine(SILVER), mine(RED), hexagon(SILVER, raised=True), flag(),
            question(), wrong_flag(), mask()]
    assert len(out) == COUNT
    return out


def sheet():
    s = Canvas(SPRITE_W * COUNT, SPRITE_H, BLACK)
    for i, sprite in enumerate(sprites()):
        for y in range(SPRITE_H):
            for x in range(SPRITE_W):
                s.put(SPRITE_W * i + x, y, sprite.get(x, y))
    return s


def self_check(canvas, data):
    w, h, bits, pixels = read_bmp(data)
    if (w, h, bits) != (SPRITE_W * COUNT, SPRITE_H, 24):
        raise AssertionError('sheet is %dx%d at %d bits' % (w, h, bits))
    if pixels != canvas.pixels:
        raise AssertionError('sheet does not read back as drawn')
    if bmp_bytes(sheet(), 24) != data:
        raise AssertionError('drawing twice gave different bytes')
    for i in range(COUNT):
        for y in range(SPRITE_H):
            for x in range(SPRITE_W):
                p = pixels[y][SPRITE_W * i + x]
                if i == MASK:
                    if p != (BLACK if inside(x, y) else WHITE):
                        raise AssertionError('mask is not the hexagon at %d,%d' % (x, y))
                elif not inside(x, y) and p != BLACK:
                    raise AssertionError('sprite %d is not black outside at %d,%d' % (i, x, y))
    # Tiling: laid out as the game lays cells, the hexagons cover every
    # board pixel between them, and no pixel belongs to more than two.
    cols, rows = 6, 6
    cover = {}
    for row in range(rows):
        for col in range(cols):
            ox = PITCH_X * col + (ROW_SHIFT if row % 2 == 0 else 0)
            oy = PITCH_Y * row
            for y in range(SPRITE_H):
                for x in range(SPRITE_W):
                    if inside(x, y):
                        cover[(ox + x, oy + y)] = cover.get((ox + x, oy + y), 0) + 1
    for y in range(SPRITE_H, PITCH_Y * (rows - 1)):
        for x in range(SPRITE_W + ROW_SHIFT, PITCH_X * (cols - 1)):
            n = cover.get((x, y), 0)
            if n == 0 or n > 2:
                raise AssertionError('board pixel %d,%d covered %d times' % (x, y, n))
    seen = set()
    for i in range(MASK):
        key = tuple(tuple(r[SPRITE_W * i:SPRITE_W * (i + 1)]) for r in pixels)
        if key in seen:
            raise AssertionError('sprite %d looks like another one' % i)
        seen.add(key)


def main(argv):
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(repo, 'resources', 'hexgame')
    canvas = sheet()
    data = bmp_bytes(canvas, 24)
    self_check(canvas, data)
    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, 'hexsprites.bmp')
    with open(path, 'wb') as f:
        f.write(data)
    print('wrote %s' % path)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
