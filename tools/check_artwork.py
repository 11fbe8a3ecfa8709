#!/usr/bin/env python3
"""Checks that the committed artwork is what the generators draw.

    python3 tools/check_artwork.py

Draws the board and smile bitmaps with their resource list, and the hex
game's sprite sheet, into a temporary folder and compares every file byte for
byte with the one under resources/. Exits non-zero, naming the files, when a
picture or the list differs, is missing or is left over.
"""

import filecmp
import os
import sys
import tempfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(os.path.dirname(TOOLS), 'resources')
sys.path.insert(0, TOOLS)

import draw_bitmaps  # noqa: E402
import draw_hexsprites  # noqa: E402


def differences(drawn, committed):
    """The names whose bytes differ between the two folders, or that only one has."""
    compared = filecmp.dircmp(drawn, committed)
    found = list(compared.left_only) + list(compared.right_only)
    _, mismatch, errors = filecmp.cmpfiles(drawn, committed, compared.common_files, shallow=False)
    return sorted(found + mismatch + errors)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        if draw_bitmaps.main(['draw_bitmaps', os.path.join(tmp, 'bitmaps')]) != 0:
            return 1
        if draw_hexsprites.main(['draw_hexsprites', os.path.join(tmp, 'hexgame')]) != 0:
            return 1
        bad = ['bitmaps/' + n for n in differences(os.path.join(tmp, 'bitmaps'),
                                                    os.path.join(RESOURCES, 'bitmaps'))]
        if not filecmp.cmp(os.path.join(tmp, 'bitmaps.cmake'), os.path.join(RESOURCES, 'bitmaps.cmake'),
                           shallow=False):
            bad.append('bitmaps.cmake')
        sheet = 'hexsprites.bmp'
        if not filecmp.cmp(os.path.join(tmp, 'hexgame', sheet), os.path.join(RESOURCES, 'hexgame', sheet),
                           shallow=False):
            bad.append('hexgame/' + sheet)
    if bad:
        print('differs from what the generators draw: ' + ', '.join(bad))
        return 1
    print('the committed artwork is what the generators draw')
    return 0


if __name__ == '__main__':
    sys.exit(main())
