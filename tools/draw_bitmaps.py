#!/usr/bin/env python3
"""Draws Gridwarden's board and smile bitmaps and writes them as <id>.bmp.

    python3 tools/draw_bitmaps.py [output-folder]

The folder defaults to resources/bitmaps beside this tools/ folder; their
list bitmaps.cmake, which the field's build embeds, is written beside the
folder. The pictures are
committed; the build only embeds them, it never runs this. A test draws them
again into a temporary folder and compares the bytes with the committed ones.

Every picture is drawn pixel by pixel from the hand-made maps below, so two
runs give the same bytes on any machine: no fonts, no antialiasing, no
platform image library. The BMP writer is our own for the same reason.

The picture numbers are the program's own, read from field/PictureCodes.h:
the cell codes plus one offset for each of the four cell sizes (4, 8, 15 and
31 pixels), and the faces of the 21 x 21 smile button.
"""

import os
import re
import struct
import sys

CODES_HEADER = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                            'field', 'PictureCodes.h')


def read_codes(path=CODES_HEADER):
    """{namespace: {name: number}} for every `constexpr int Name = number;`
    inside a namespace of the header."""
    with open(path, encoding='utf-8') as f:
        text = f.read()
    codes = {}
    for space, body in re.findall(r'namespace\s+(\w+)\s*\{(.*?)\n\}', text, re.S):
        codes[space] = {name: int(value) for name, value
                        in re.findall(r'constexpr\s+int\s+(\w+)\s*=\s*(\d+)\s*;', body)}
    return codes


CODES = read_codes()

# ---------------------------------------------------------------------------
# Colours. The two small cell sizes are stored with a 256-entry palette, so
# every colour they use must be one of the sixteen basic colours below.

BLACK = (0x00, 0x00, 0x00)
MAROON = (0x80, 0x00, 0x00)
GREEN = (0x00, 0x80, 0x00)
OLIVE = (0x80, 0x80, 0x00)
NAVY = (0x00, 0x00, 0x80)
PURPLE = (0x80, 0x00, 0x80)
TEAL = (0x00, 0x80, 0x80)
SILVER = (0xC0, 0xC0, 0xC0)
GREY = (0x80, 0x80, 0x80)
RED = (0xFF, 0x00, 0x00)
LIME = (0x00, 0xFF, 0x00)
YELLOW = (0xFF, 0xFF, 0x00)
BLUE = (0x00, 0x00, 0xFF)
FUCHSIA = (0xFF, 0x00, 0xFF)
AQUA = (0x00, 0xFF, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)

# Only the smile button uses these; it is stored in 24-bit colour.
FACE_YELLOW = (0xFF, 0xE8, 0x20)
FACE_BLUE = (0x58, 0x90, 0xF8)
TEAR = (0xE0, 0xF8, 0xFF)

# Digit colours, indexed by the number shown.
DIGIT_COLOURS = {1: BLUE, 2: GREEN, 3: RED, 4: NAVY,
                 5: MAROON, 6: TEAL, 7: BLACK, 8: PURPLE}

# Base codes of the cell pictures.
OPEN_EMPTY = CODES['PicCode']['Empty']          # OPEN_EMPTY + n shows the number n
FLAG = CODES['PicCode']['Flag']
MINE = CODES['PicCode']['Mine']
COVERED = CODES['PicCode']['Covered']
EXPLODED = CODES['PicCode']['Exploded']
WRONG_FLAG = CODES['PicCode']['WrongFlag']
CELL_BASES = sorted({OPEN_EMPTY + n for n in range(9)}
                    | {FLAG, MINE, COVERED, EXPLODED, WRONG_FLAG})

SMILE_WON = CODES['SmilePic']['Won']
SMILE_NORMAL = CODES['SmilePic']['Ready']
SMILE_SURPRISED = CODES['SmilePic']['Pressed']
SMILE_RESET = CODES['SmilePic']['Resetting']
SMILE_LOST = CODES['SmilePic']['Lost']
SMILES = [SMILE_WON, SMILE_NORMAL, SMILE_SURPRISED, SMILE_RESET, SMILE_LOST]
SMILE_SIZE = 21


# ---------------------------------------------------------------------------
# A picture as a grid of RGB tuples.

class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def stamp(self, x0, y0, rows, legend):
        """Copies a character map; characters missing from the legend
        (usually '.') leave the picture underneath untouched."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in legend:
                    self.put(x0 + dx, y0 + dy, legend[ch])


def check_map(name, rows, width, height):
    """Catches a mistyped row in a hand-drawn map before it draws crooked."""
    if len(rows) != height or any(len(r) != width for r in rows):
        raise ValueError('map %s is not %d x %d' % (name, width, height))


# ---------------------------------------------------------------------------
# The two cell backgrounds every picture starts from.

def opened_cell(size, fill=SILVER):
    """Flat cell with a one-pixel dark line on its top and left edge only:
    placed side by side, the cells' lines join into the board's grid, and
    the board's own frame closes the right and bottom edges."""
    c = Canvas(size, size, fill)
    c.rect(0, 0, size - 1, 0, GREY)
    c.rect(0, 0, 0, size - 1, GREY)
    return c


def raised(c, x0, y0, size, bevel):
    """Raised square: light from the top left. The bevel bands meet along
    the anti-diagonal, so the top-right and bottom-left corners are cut
    diagonally, with a face-coloured pixel on the seam itself."""
    last = size - 1
    for y in range(size):
        for x in range(size):
            if bevel <= x < size - bevel and bevel <= y < size - bevel:
                continue
            seam = x + y - last
            if seam < 0:
                c.put(x0 + x, y0 + y, WHITE)
            elif seam > 0:
                c.put(x0 + x, y0 + y, GREY)


# Bevel width of a covered cell per cell size: about an eighth of the side,
# at least one pixel.
BEVEL = {4: 1, 8: 1, 15: 2, 31: 3}


def covered_cell(size):
    c = Canvas(size, size, SILVER)
    raised(c, 0, 0, size, BEVEL[size])
    return c


# ---------------------------------------------------------------------------
# Digits. One hand-made font per cell size; '#' is ink.

# 3 x 3, for the tiny cells: no digit fits, so the number is shown as dice
# pips in its colour; a player can still count them on a large board.
PIPS_4 = {
    1: ['...', '.#.', '...'],
    2: ['#..', '...', '..#'],
    3: ['#..', '.#.', '..#'],
    4: ['#.#', '...', '#.#'],
    5: ['#.#', '.#.', '#.#'],
    6: ['#.#', '#.#', '#.#'],
    7: ['#.#', '###', '#.#'],
    8: ['###', '#.#', '###'],
}

# 3 x 5: the smallest shapes that keep all eight digits apart.
DIGITS_8 = {
    1: ['.#.',
        '##.',
        '.#.',
        '.#.',
        '###'],
    2: ['##.',
        '..#',
        '.#.',
        '#..',
        '###'],
    3: ['##.',
        '..#',
        '.#.',
        '..#',
        '##.'],
    4: ['#.#',
        '#.#',
        '###',
        '..#',
        '..#'],
    5: ['###',
        '#..',
        '##.',
        '..#',
        '##.'],
    6: ['.##',
        '#..',
        '###',
        '#.#',
        '###'],
    7: ['###',
        '..#',
        '.#.',
        '.#.',
        '.#.'],
    8: ['###',
        '#.#',
        '###',
        '#.#',
        '###'],
}

# 8 x 10 with two-pixel strokes.
DIGITS_15 = {
    1: ['...##...',
        '..###...',
        '.####...',
        '...##...',
        '...##...',
        '...##...',
        '...##...',
        '...##...',
        '.######.',
        '.######.'],
    2: ['.######.',
        '########',
        '##....##',
        '.....###',
        '...####.',
        '.####...',
        '###.....',
        '##......',
        '########',
        '########'],
    3: ['.######.',
        '########',
        '##....##',
        '......##',
        '...####.',
        '...####.',
        '......##',
        '##....##',
        '########',
        '.######.'],
    4: ['....###.',
        '...####.',
        '..##.##.',
        '.##..##.',
        '##...##.',
        '########',
        '########',
        '.....##.',
        '.....##.',
        '.....##.'],
    5: ['########',
        '########',
        '##......',
        '#######.',
        '########',
        '......##',
        '......##',
        '##....##',
        '########',
        '.######.'],
    6: ['.######.',
        '########',
        '##......',
        '#######.',
        '########',
        '##....##',
        '##....##',
        '##....##',
        '########',
        '.######.'],
    7: ['########',
        '########',
        '......##',
        '.....###',
        '....###.',
        '...###..',
        '...##...',
        '...##...',
        '...##...',
        '...##...'],
    8: ['.######.',
        '########',
        '##....##',
        '##....##',
        '.######.',
        '.######.',
        '##....##',
        '##....##',
        '########',
        '.######.'],
}


# 16 x 20 with four-pixel strokes: the normal font's shapes at twice the
# size, but with corners cut at 45 degrees and the diagonals redrawn one
# pixel at a time, where plain doubling would leave two-pixel stairs.
DIGITS_31 = {
    1: ['......####......',
        '.....#####......',
        '....######......',
        '...#######......',
        '..########......',
        '..###.####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '..############..',
        '..############..',
        '..############..',
        '..############..'],
    2: ['..############..',
        '.##############.',
        '################',
        '################',
        '####........####',
        '####........####',
        '...........#####',
        '.........#######',
        '.......#######..',
        '.....#######....',
        '...#######......',
        '..######........',
        '.#####..........',
        '#####...........',
        '####............',
        '####............',
        '################',
        '################',
        '################',
        '################'],
    3: ['..############..',
        '.##############.',
        '################',
        '################',
        '####........####',
        '####........####',
        '............####',
        '...........#####',
        '......#########.',
        '......########..',
        '......########..',
        '......#########.',
        '...........#####',
        '............####',
        '####........####',
        '####........####',
        '################',
        '################',
        '.##############.',
        '..############..'],
    4: ['.........####...',
        '........#####...',
        '.......######...',
        '......#######...',
        '.....####.###...',
        '....####..####..',
        '...####...####..',
        '..####....####..',
        '.####.....####..',
        '####......####..',
        '################',
        '################',
        '################',
        '################',
        '..........####..',
        '..........####..',
        '..........####..',
        '..........####..',
        '..........####..',
        '..........####..'],
    5: ['################',
        '################',
        '################',
        '################',
        '####............',
        '####............',
        '##############..',
        '###############.',
        '################',
        '################',
        '............####',
        '............####',
        '............####',
        '............####',
        '####........####',
        '####........####',
        '################',
        '################',
        '.##############.',
        '..############..'],
    6: ['..############..',
        '.##############.',
        '################',
        '################',
        '####............',
        '####............',
        '##############..',
        '###############.',
        '################',
        '################',
        '####........####',
        '####........####',
        '####........####',
        '####........####',
        '####........####',
        '####........####',
        '################',
        '################',
        '.##############.',
        '..############..'],
    7: ['################',
        '################',
        '################',
        '################',
        '............####',
        '...........#####',
        '..........######',
        '.........######.',
        '........######..',
        '.......######...',
        '......######....',
        '......#####.....',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......',
        '......####......'],
    8: ['..############..',
        '.##############.',
        '################',
        '################',
        '####........####',
        '####........####',
        '####........####',
        '####........####',
        '.##############.',
        '..############..',
        '..############..',
        '.##############.',
        '####........####',
        '####........####',
        '####........####',
        '####........####',
        '################',
        '################',
        '.##############.',
        '..############..'],
}


def check_fonts():
    for n in range(1, 9):
        check_map('tiny %d' % n, PIPS_4[n], 3, 3)
        check_map('small %d' % n, DIGITS_8[n], 3, 5)
        check_map('normal %d' % n, DIGITS_15[n], 8, 10)
        check_map('large %d' % n, DIGITS_31[n], 16, 20)


def digit_cell(size, number):
    c = opened_cell(size)
    colour = DIGIT_COLOURS[number]
    glyph = {4: PIPS_4, 8: DIGITS_8, 15: DIGITS_15, 31: DIGITS_31}[size][number]
    gw, gh = len(glyph[0]), len(glyph)
    # Centre on the area right of and below the grid line.
    x0 = 1 + (size - 1 - gw) // 2
    y0 = 1 + (size - 1 - gh) // 2
    c.stamp(x0, y0, glyph, {'#': colour})
    return c


# ---------------------------------------------------------------------------
# Mine: round black body, spikes, a white glint at the upper left.
# Maps are centred on the area inside the grid line.

MINE_MAPS = {
    4: ['.#.',
        '###',
        '.#.'],
    8: ['...#...',
        '..###..',
        '.#W###.',
        '#######',
        '.#####.',
        '..###..',
        '...#...'],
    15: ['#....##....#',
         '.#..####..#.',
         '..########..',
         '..#WW#####..',
         '.##WW######.',
         '############',
         '############',
         '.##########.',
         '..########..',
         '..########..',
         '.#..####..#.',
         '#....##....#'],
}


def mine_map_31():
    """The large mine is built from geometry so the body stays round."""
    n = 24
    grid = [['.'] * n for _ in range(n)]
    centre2 = n          # doubled coordinates: the centre is a pixel corner
    r2 = 8 * 2           # body radius 8, doubled
    for y in range(n):
        for x in range(n):
            dx, dy = 2 * x + 1 - centre2, 2 * y + 1 - centre2
            if dx * dx + dy * dy <= r2 * r2:
                grid[y][x] = '#'
    for i in range(n):
        for j in (11, 12):
            grid[i][j] = '#'      # vertical spike
            grid[j][i] = '#'      # horizontal spike
    # Diagonal spikes, two pixels wide; the second pixel sits on the side
    # of the vertical centre line so the four spikes mirror each other.
    for y in range(3, n - 3):
        inward = 1 if y < n // 2 else -1
        for x in (y, y + inward, n - 1 - y, n - 1 - y - inward):
            grid[y][x] = '#'
    # Rounded 4 x 4 glint, up and left of the centre.
    for y in range(7, 11):
        for x in range(7, 11):
            if (x, y) not in ((7, 7), (10, 7), (7, 10), (10, 10)):
                grid[y][x] = 'W'
    return [''.join(r) for r in grid]


MINE_MAPS[31] = mine_map_31()


# Stroke of the red cross per cell size: offsets from the diagonal.
CROSS_OFFSETS = {4: (0,), 8: (0,), 15: (-1, 0), 31: (-1, 0, 1)}


def mine_origin(size):
    m = MINE_MAPS[size]
    return 1 + (size - 1 - len(m[0])) // 2, 1 + (size - 1 - len(m)) // 2


def mine_cell(size, fill=SILVER, crossed=False):
    c = opened_cell(size, fill)
    m = MINE_MAPS[size]
    x0, y0 = mine_origin(size)
    # At four pixels a cross over the mine becomes a red and black checker that
    # reads like the exploded mine; the red cross on grey alone stays distinct.
    if not (crossed and size == 4):
        c.stamp(x0, y0, m, {'#': BLACK, 'W': WHITE})
    if crossed:
        # The cross spans the mine's box, corner to corner, and is drawn
        # over it so it still reads where it crosses black.
        # A two-pixel line cannot sit on the diagonal of an even box, so
        # at 15 pixels both strokes lean the same half pixel down and the
        # cross stays mirror-symmetric.
        n = len(m)
        for y in range(n):
            for x in range(n):
                if (x - y) in CROSS_OFFSETS[size] or (n - 1 - x - y) in CROSS_OFFSETS[size]:
                    c.put(x0 + x, y0 + y, RED)
    return c


# ---------------------------------------------------------------------------
# Flag on a covered cell: red pennant pointing left, black pole, two-step
# black base. Maps are centred inside the bevel; the large one carries two
# empty columns on its right so that its pole, not the wide pennant, ends
# up near the middle of the cell.

FLAG_MAPS = {
    4: ['RR',
        '.#'],
    8: ['.RR#..',
        'RRR#..',
        '.RR#..',
        '...#..',
        '..###.',
        '.#####'],
    15: ['......R#...',
         '....RRR#...',
         '..RRRRR#...',
         '.RRRRRR#...',
         '..RRRRR#...',
         '....RRR#...',
         '......R#...',
         '.......#...',
         '......###..',
         '....#######',
         '....#######'],
    31: ['...........RR##........',
         '.........RRRR##........',
         '.......RRRRRR##........',
         '.....RRRRRRRR##........',
         '...RRRRRRRRRR##........',
         '.RRRRRRRRRRRR##........',
         'RRRRRRRRRRRRR##........',
         '.RRRRRRRRRRRR##........',
         '...RRRRRRRRRR##........',
         '.....RRRRRRRR##........',
         '.......RRRRRR##........',
         '.........RRRR##........',
         '...........RR##........',
         '.............##........',
         '.............##........',
         '.............##........',
         '.............##........',
         '...........######......',
         '...........######......',
         '.......##############..',
         '.......##############..',
         '.......##############..'],
}


def flag_cell(size):
    c = covered_cell(size)
    b = BEVEL[size]
    m = FLAG_MAPS[size]
    inner = size - 2 * b
    x0 = b + (inner - len(m[0])) // 2
    y0 = b + (inner - len(m)) // 2
    c.stamp(x0, y0, m, {'#': BLACK, 'R': RED})
    return c


# ---------------------------------------------------------------------------
# The cell set of one size.

def cell_pictures(size):
    pics = {OPEN_EMPTY: opened_cell(size)}
    for n in range(1, 9):
        pics[OPEN_EMPTY + n] = digit_cell(size, n)
    pics[FLAG] = flag_cell(size)
    pics[MINE] = mine_cell(size)
    pics[COVERED] = covered_cell(size)
    pics[EXPLODED] = mine_cell(size, fill=RED)
    pics[WRONG_FLAG] = mine_cell(size, crossed=True)
    return pics


# Cell size -> (picture number offset, bits per pixel).
CELL_SETS = {4: (CODES['PicOffset']['Tiny'], 8), 8: (CODES['PicOffset']['Small'], 8),
             15: (CODES['PicOffset']['Normal'], 24), 31: (CODES['PicOffset']['Large'], 24)}


# ---------------------------------------------------------------------------
# Smile button: a raised grey button with a round face.

def face_disc(radius2x, centre2x):
    """Pixels of a disc in doubled coordinates (so a centre on a pixel
    centre is odd) as a set of (x, y)."""
    inside = set()
    for y in range(SMILE_SIZE):
        for x in range(SMILE_SIZE):
            dx, dy = 2 * x + 1 - centre2x, 2 * y + 1 - centre2x
            if dx * dx + dy * dy <= radius2x * radius2x:
                inside.add((x, y))
    return inside


def smile_base(face_colour):
    c = Canvas(SMILE_SIZE, SMILE_SIZE, SILVER)
    raised(c, 0, 0, SMILE_SIZE, 2)
    disc = face_disc(15, 21)      # diameter 15, centred on pixel (10, 10)
    for (x, y) in disc:
        edge = any((x + dx, y + dy) not in disc
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        c.put(x, y, BLACK if edge else face_colour)
    return c


# Features are drawn on the whole 21 x 21 square; the face spans 3..17.
SMILE_FEATURES = {
    SMILE_NORMAL: [
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.......##...##.......',
        '.......##...##.......',
        '.....................',
        '.....................',
        '.....................',
        '......#.......#......',
        '.......#.....#.......',
        '........#####........',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................'],
    SMILE_WON: [
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '....#############....',
        '.....#W###.#W###.....',
        '......###...###......',
        '.....................',
        '.....................',
        '......#########......',
        '.......#WWWWW#.......',
        '........#####........',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................'],
    SMILE_SURPRISED: [
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.......##...##.......',
        '.......##...##.......',
        '.....................',
        '.....................',
        '.........###.........',
        '........#...#........',
        '........#...#........',
        '.........###.........',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................'],
    SMILE_RESET: [
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '......WWW...WWW......',
        '......W#W...W#W......',
        '......WWW...WWW......',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.......#######.......',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................'],
    SMILE_LOST: [
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '......###...###......',
        '.......T.....T.......',
        '.......T.....T.......',
        '.......T.....T.......',
        '.....................',
        '.........###.........',
        '........#...#........',
        '.......#.....#.......',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................',
        '.....................'],
}


def smile_pictures():
    pics = {}
    for pid, rows in SMILE_FEATURES.items():
        check_map('smile %d' % pid, rows, SMILE_SIZE, SMILE_SIZE)
        c = smile_base(FACE_BLUE if pid == SMILE_LOST else FACE_YELLOW)
        c.stamp(0, 0, rows, {'#': BLACK, 'W': WHITE, 'T': TEAR})
        pics[pid] = c
    return pics


# ---------------------------------------------------------------------------
# BMP files: BITMAPFILEHEADER + BITMAPINFOHEADER, rows bottom-up, each row
# padded to four bytes.

def palette_256():
    """The sixteen basic colours first, then a 6 x 6 x 6 colour cube and a
    grey ramp to fill the table: a complete, fixed 256-colour palette."""
    pal = [BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
           GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE]
    steps = (0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF)
    pal += [(r, g, b) for r in steps for g in steps for b in steps]
    pal += [(v, v, v) for v in range(0x08, 0x08 + 24 * 10, 10)]
    assert len(pal) == 256
    return pal


PALETTE = palette_256()
# Some basic colours come again in the cube; always use the first entry.
PALETTE_INDEX = {c: i for i, c in reversed(list(enumerate(PALETTE)))}

PIXELS_PER_METRE = 3780          # 96 dots per inch


def bmp_bytes(canvas, bits):
    w, h = canvas.width, canvas.height
    if bits == 8:
        row_len = w
        table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    elif bits == 24:
        row_len = 3 * w
        table = b''
    else:
        raise ValueError('unsupported depth %d' % bits)
    stride = (row_len + 3) & ~3
    image = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            colour = canvas.get(x, y)
            if bits == 8:
                if colour not in PALETTE_INDEX:
                    raise ValueError('colour %r is not in the palette' % (colour,))
                row.append(PALETTE_INDEX[colour])
            else:
                r, g, b = colour
                row += bytes((b, g, r))
        row += b'\0' * (stride - row_len)
        image += row
    offset = 14 + 40 + len(table)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    info_header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(image),
                              PIXELS_PER_METRE, PIXELS_PER_METRE,
                              256 if bits == 8 else 0, 0)
    return file_header + info_header + table + bytes(image)


def read_bmp(data):
    """Reads back what bmp_bytes writes, independently of it, so the
    self-check catches a writer that swaps channels or pads wrongly."""
    magic, size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    (hsize, w, h, planes, bits, compression, image_size,
     _, _, used, _) = struct.unpack_from('<IiiHHIIiiII', data, 14)
    if magic != b'BM' or size != len(data) or hsize != 40 or planes != 1:
        raise ValueError('bad headers')
    if compression != 0 or h <= 0:
        raise ValueError('expected an uncompressed bottom-up bitmap')
    table = []
    if bits == 8:
        count = used or 256
        for i in range(count):
            b, g, r, _ = struct.unpack_from('<BBBB', data, 54 + 4 * i)
            table.append((r, g, b))
        if offset != 54 + 4 * count:
            raise ValueError('pixel data does not follow the palette')
    stride = ((w * bits // 8) + 3) & ~3
    if image_size != stride * h or offset + image_size != len(data):
        raise ValueError('image size does not match the dimensions')
    pixels = []
    for y in range(h):
        row_start = offset + (h - 1 - y) * stride
        row = []
        for x in range(w):
            if bits == 8:
                row.append(table[data[row_start + x]])
            else:
                b, g, r = data[row_start + 3 * x:row_start + 3 * x + 3]
                row.append((r, g, b))
        pixels.append(row)
    return w, h, bits, pixels


# ---------------------------------------------------------------------------

def all_pictures():
    """Every picture as {id: (canvas, bits)}."""
    check_fonts()
    for size in CELL_SETS:
        m, f = MINE_MAPS[size], FLAG_MAPS[size]
        check_map('mine %d' % size, m, len(m), len(m))
        check_map('flag %d' % size, f, len(f[0]), len(f))
    out = {}
    for size, (offset, bits) in CELL_SETS.items():
        for base, canvas in cell_pictures(size).items():
            out[base + offset] = (canvas, bits)
    for pid, canvas in smile_pictures().items():
        out[pid] = (canvas, 24)
    return out


def expected_format(pid):
    if pid in SMILES:
        return SMILE_SIZE, 24
    for size, (offset, bits) in CELL_SETS.items():
        if pid - offset in CELL_BASES:
            return size, bits
    raise ValueError('unexpected picture %d' % pid)


def self_check(pictures, encoded):
    expected_ids = [b + o for o, _ in CELL_SETS.values() for b in CELL_BASES] + SMILES
    if len(set(expected_ids)) != len(expected_ids):
        raise AssertionError('two pictures share a number')
    if sorted(pictures) != sorted(expected_ids):
        raise AssertionError('picture set is incomplete')
    for pid, data in encoded.items():
        size, bits = expected_format(pid)
        w, h, got_bits, pixels = read_bmp(data)
        if (w, h, got_bits) != (size, size, bits):
            raise AssertionError('%d.bmp is %dx%d at %d bits, wanted %dx%d at %d'
                                 % (pid, w, h, got_bits, size, size, bits))
        if pixels != pictures[pid][0].pixels:
            raise AssertionError('%d.bmp does not read back as drawn' % pid)
    # Same input, same bytes: the committed files must be reproducible.
    again = {pid: bmp_bytes(c, bits) for pid, (c, bits) in all_pictures().items()}
    if again != encoded:
        raise AssertionError('drawing twice gave different bytes')
    # Pictures of one size must differ from each other, or a role is lost.
    for size, (offset, _) in CELL_SETS.items():
        seen = {}
        for base in CELL_BASES:
            key = encoded[base + offset]
            if key in seen:
                raise AssertionError('%d and %d look the same'
                                     % (seen[key], base + offset))
            seen[key] = base + offset


def list_text(folder, ids):
    """The CMake list of the pictures, numbered in ascending order."""
    lines = ['# The board and smile pictures, written with them by tools/draw_bitmaps.py.',
             'set(SUITE_BITMAPS']
    lines += ['    ${CMAKE_CURRENT_LIST_DIR}/%s/%d.bmp' % (folder, i) for i in sorted(ids)]
    lines += [')', '']
    return '\n'.join(lines)


def main(argv):
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(repo, 'resources', 'bitmaps')
    pictures = all_pictures()
    encoded = {pid: bmp_bytes(c, bits) for pid, (c, bits) in pictures.items()}
    self_check(pictures, encoded)
    os.makedirs(out_dir, exist_ok=True)
    for pid in sorted(encoded):
        with open(os.path.join(out_dir, '%d.bmp' % pid), 'wb') as f:
            f.write(encoded[pid])
    out_abs = os.path.abspath(out_dir)
    listing = os.path.join(os.path.dirname(out_abs), os.path.basename(out_abs) + '.cmake')
    with open(listing, 'w', encoding='utf-8', newline='\n') as f:
        f.write(list_text(os.path.basename(out_abs), encoded))
    print('wrote %d bitmaps to %s and their list to %s' % (len(encoded), out_dir, listing))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
