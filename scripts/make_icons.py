#!/usr/bin/env python3
"""Draws the monitor's tray icons and its hand cursor and writes the .ico/.cur files.

    scripts/make_icons.py [output folder]   (default: monitor/resources/pictures)

The pictures are pixel maps below, one character per pixel, so a picture is
changed by editing its map and running the script again; the build uses the
committed output files and does not need Python.

Icons are drawn on a 16 x 16 grid and every pixel is doubled into the 32 x 32
image. The shell shrinks the image to 16 x 16 for the notification area, and
a doubled picture survives any shrinking method unchanged, so what is drawn
here is exactly what the tray shows.
"""

import os
import struct
import sys

# The standard 16-colour palette, in the order Windows uses it (RGB).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Map characters to palette indices; '.' is transparent.
COLOURS = {
    "k": 0, "m": 1, "d": 2, "o": 3, "n": 4, "t": 6, "s": 7, "g": 8,
    "R": 9, "G": 10, "Y": 11, "B": 12, "C": 14, "w": 15,
}
TRANSPARENT = "."
OUTLINE = "k"

# A network drive: a drive box with its slot and a lit lamp, hanging from a
# network line. The lower left of the grid, leaving the upper right free for
# the status mark.
DRIVE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "kkkkkkkkkkkkk...",
    "kwwwwwwwwwwwwk..",
    "kwssssssssssgk..",
    "kwskkkkkkkGGgk..",
    "kwssssssssssgk..",
    "kggggggggggggk..",
    "kkkkkkkkkkkkkk..",
    "......kk........",
    "......kk........",
    ".kkkkkkkkkkkk...",
    ".kkkkkkkkkkkk...",
]

# Status marks: the coloured strokes only; the black outline around them is
# added by `outlined`, so each mark stands out on the drive and on any
# taskbar colour.
CHECK_MARK = [
    "................",
    "................",
    "..............GG",
    ".............GG.",
    "............GGG.",
    "...........GGG..",
    "..........GGG...",
    "......GG.GGG....",
    "......GGGGG.....",
    ".......GGG......",
    "........G.......",
    "................",
    "................",
    "................",
    "................",
    "................",
]

EXCLAMATION = [
    "................",
    "...........XXX..",
    "...........XXX..",
    "...........XXX..",
    "...........XXX..",
    "...........XXX..",
    "............X...",
    "................",
    "...........XXX..",
    "...........XXX..",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

QUESTION_MARK = [
    "................",
    "..........CCCC..",
    ".........CC..CC.",
    ".............CC.",
    "............CC..",
    "...........CC...",
    "...........CC...",
    "................",
    "...........CC...",
    "...........CC...",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

# The pointing hand over links, drawn at its real size (cursors are never
# shrunk): black outline, white fill. Its hot spot is the top of the index
# finger, at x 8, y 3.
HAND = [
    "................................",
    "................................",
    "................................",
    ".......kk.......................",
    "......kwwk......................",
    "......kwwk......................",
    "......kwwk......................",
    "......kwwk......................",
    "......kwwkkk....................",
    "......kwwkwwkkk.................",
    "......kwwkwwkwwkk...............",
    "......kwwkwwkwwkwk..............",
    "...kk.kwwkwwkwwkwwk.............",
    "...kwkkwwwwwwwwwwwk.............",
    "...kwwkwwwwwwwwwwwk.............",
    "....kwkwwwwwwwwwwwk.............",
    "....kwwwwwwwwwwwwwk.............",
    ".....kwwwwwwwwwwwwk.............",
    ".....kwwwwwwwwwwwwk.............",
    "......kwwwwwwwwwwk..............",
    "......kwwwwwwwwwwk..............",
    ".......kwwwwwwwwk...............",
    ".......kwwwwwwwwk...............",
    ".......kkkkkkkkkk...............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HAND_HOT_SPOT = (8, 3)


def coloured(mark, colour):
    """The mark with its placeholder strokes ('X') in the given colour."""
    return [row.replace("X", colour) for row in mark]


def outlined(mark):
    """The mark with a black pixel beside every stroke pixel (8 neighbours)."""
    size = len(mark)
    result = [list(row) for row in mark]
    for y in range(size):
        for x in range(size):
            if mark[y][x] != TRANSPARENT:
                continue
            near = [mark[ny][nx]
                    for ny in range(max(0, y - 1), min(size, y + 2))
                    for nx in range(max(0, x - 1), min(size, x + 2))]
            if any(c != TRANSPARENT for c in near):
                result[y][x] = OUTLINE
    return ["".join(row) for row in result]


def overlay(base, top):
    """`top` drawn over `base`; transparent pixels of `top` let `base` show."""
    return ["".join(t if t != TRANSPARENT else b for b, t in zip(brow, trow))
            for brow, trow in zip(base, top)]


def doubled(picture):
    rows = []
    for row in picture:
        wide = "".join(c * 2 for c in row)
        rows += [wide, wide]
    return rows


def check_picture(picture, size):
    if len(picture) != size or any(len(row) != size for row in picture):
        raise ValueError("picture is not %d x %d" % (size, size))
    for row in picture:
        for c in row:
            if c != TRANSPARENT and c not in COLOURS:
                raise ValueError("unknown colour character %r" % c)


def packed_rows(picture, bits, value_of):
    """Bottom-up DIB rows of `bits` per pixel, each padded to 4 bytes."""
    data = bytearray()
    per_byte = 8 // bits
    for row in reversed(picture):
        line = bytearray()
        for start in range(0, len(row), per_byte):
            byte = 0
            for c in row[start:start + per_byte]:
                byte = (byte << bits) | value_of(c)
            line.append(byte)
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def image_bytes(picture, bits, palette, value_of):
    """One icon/cursor image: header of double height, palette, colour and mask."""
    size = len(picture)
    colour = packed_rows(picture, bits, value_of)
    mask = packed_rows(picture, 1, lambda c: 1 if c == TRANSPARENT else 0)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + colour + mask


def icon_file(picture):
    check_picture(picture, 32)
    # Transparent pixels are black in the colour bits so that the mask alone
    # decides what shows through.
    image = image_bytes(picture, 4, PALETTE,
                        lambda c: 0 if c == TRANSPARENT else COLOURS[c])
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def cursor_file(picture, hot_spot):
    check_picture(picture, 32)
    for c in "".join(picture):
        if c not in (TRANSPARENT, "k", "w"):
            raise ValueError("a cursor is black and white only")
    image = image_bytes(picture, 1, [PALETTE[0], PALETTE[15]],
                        lambda c: 1 if c == "w" else 0)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_spot[0], hot_spot[1],
                        len(image), 6 + 16)
    return directory + entry + image


def drive_with(mark):
    return doubled(overlay(DRIVE, outlined(mark)) if mark else DRIVE)


PICTURES = {
    "drive_ok.ico": lambda: icon_file(drive_with(CHECK_MARK)),
    "drive_warning.ico": lambda: icon_file(drive_with(coloured(EXCLAMATION, "Y"))),
    "drive.ico": lambda: icon_file(drive_with(None)),
    "drive_danger.ico": lambda: icon_file(drive_with(coloured(EXCLAMATION, "R"))),
    "drive_unknown.ico": lambda: icon_file(drive_with(QUESTION_MARK)),
    "hand.cur": lambda: cursor_file(HAND, HAND_HOT_SPOT),
}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "monitor", "resources", "pictures")
    folder = argv[1] if len(argv) > 1 else default
    os.makedirs(folder, exist_ok=True)
    for name, make in PICTURES.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(make())
        print("wrote", os.path.normpath(os.path.join(folder, name)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
