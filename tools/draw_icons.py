#!/usr/bin/env python3
"""Draws the desktop icons of the two games and of minefield files as PNGs.

    python3 tools/draw_icons.py [output-folder]

The folder defaults to resources/icons beside this tools/ folder. The icons
are committed; the build only installs and embeds them, it never runs this.

Each icon is a few flat shapes, tested per pixel on an 8 x 8 grid of samples,
so the edges are smooth at every size and two runs give the same bytes on any
machine: no fonts, no platform image library. The PNG writer is our own.

    gridwarden-<size>.png     a raised grey cell with a mine on it
    patternsweep-<size>.png   three hexagonal cells, one opened on a flag
    minefield-<size>.png      a page with a small board of cells and a mine
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 8

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
DARK = (64, 64, 64)
RED = (220, 0, 0)
TEAL = (0, 128, 128)
PALE_TEAL = (170, 225, 225)
PAGE = (250, 250, 250)
PAGE_EDGE = (110, 110, 110)


# ---------------------------------------------------------------------------
# Shapes: each is a test on a point in unit coordinates (0..1 across the icon).

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                hit = not hit
        return hit
    return inside


def bar(cx, cy, length, width, angle):
    """A bar of the given length and width through (cx, cy) at angle radians."""
    c, s = math.cos(angle), math.sin(angle)
    def inside(x, y):
        u = (x - cx) * c + (y - cy) * s
        v = -(x - cx) * s + (y - cy) * c
        return abs(u) <= length / 2 and abs(v) <= width / 2
    return inside


def hexagon(cx, cy, r):
    """A hexagon standing on a point, like the hex game's cells."""
    return polygon([(cx + r * math.cos(math.radians(90 + 60 * k)),
                     cy + r * math.sin(math.radians(90 + 60 * k))) for k in range(6)])


def mine(cx, cy, r):
    """A round mine with eight spikes and a white shine, as the board draws it."""
    layers = [(circle(cx, cy, r), BLACK)]
    for k in range(4):
        layers.append((bar(cx, cy, r * 2.7, r * 0.32, math.pi * k / 4), BLACK))
    layers.append((circle(cx - r * 0.35, cy - r * 0.35, r * 0.22), WHITE))
    return layers


def flag(cx, cy, h):
    """A red flag on a black pole standing on a small base."""
    return [
        (polygon([(cx - h * 0.35, cy - h * 0.5), (cx + h * 0.25, cy - h * 0.28),
                  (cx - h * 0.35, cy - h * 0.05)]), RED),
        (rect(cx - h * 0.035, cy - h * 0.5, cx + h * 0.035, cy + h * 0.35), BLACK),
        (rect(cx - h * 0.32, cy + h * 0.28, cx + h * 0.32, cy + h * 0.42), BLACK),
    ]


# ---------------------------------------------------------------------------
# The three icons, back to front.

def gridwarden_layers():
    layers = [
        (rect(0.02, 0.02, 0.98, 0.98), DARK),        # outline
        (rect(0.04, 0.04, 0.96, 0.96), GREY),        # shadow edge
        (polygon([(0.04, 0.04), (0.96, 0.04), (0.04, 0.96)]), WHITE),   # light edge
        (rect(0.13, 0.13, 0.87, 0.87), SILVER),      # the cell's face
    ]
    return layers + mine(0.5, 0.5, 0.22)


def patternsweep_layers():
    r = 0.25
    w = r * math.sqrt(3)
    layers = []
    for cx, cy, face in ((0.5 - w / 2, 0.3, TEAL), (0.5 + w / 2, 0.3, TEAL),
                         (0.5, 0.3 + 1.5 * r, PALE_TEAL)):
        layers.append((hexagon(cx, cy, r), DARK))
        layers.append((hexagon(cx, cy, r * 0.86), face))
    return layers + flag(0.5, 0.3 + 1.5 * r, r * 1.1)


def minefield_layers():
    layers = [
        (polygon([(0.16, 0.04), (0.66, 0.04), (0.86, 0.24), (0.86, 0.96), (0.16, 0.96)]),
         PAGE_EDGE),
        (polygon([(0.2, 0.08), (0.64, 0.08), (0.82, 0.26), (0.82, 0.92), (0.2, 0.92)]), PAGE),
        (polygon([(0.64, 0.08), (0.64, 0.26), (0.82, 0.26)]), SILVER),
    ]
    # A board of 3 x 3 cells on the page, the middle one opened on a mine.
    x0, y0, step = 0.26, 0.36, 0.167
    for row in range(3):
        for col in range(3):
            left, top = x0 + col * step, y0 + row * step
            layers.append((rect(left, top, left + step - 0.02, top + step - 0.02),
                           GREY if (row, col) != (1, 1) else SILVER))
    return layers + mine(x0 + 1.5 * step - 0.01, y0 + 1.5 * step - 0.01, 0.05)


# ---------------------------------------------------------------------------

def render(layers, size):
    """RGBA rows: each pixel takes the colour of the topmost layer at each sample."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                y = (py + (sy + 0.5) / SAMPLES) / size
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    for shape, colour in reversed(layers):
                        if shape(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            a += 1
                            break
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png_bytes(rows, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)
    icons = {"gridwarden": gridwarden_layers(), "patternsweep": patternsweep_layers(),
             "minefield": minefield_layers()}
    for name, layers in icons.items():
        for size in SIZES:
            path = os.path.join(out_dir, "%s-%d.png" % (name, size))
            with open(path, "wb") as f:
                f.write(png_bytes(render(layers, size), size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
