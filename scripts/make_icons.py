#!/usr/bin/env python3
"""Draws the monitor's tray icons and its hand cursor and writes the .ico/.cur files.

    scripts/make_icons.py [output folder]   (default: monitor/resources/pictures)

The icons are drawn from the shapes below (rectangles and strokes on a 16 x 16
grid), the cursor from a pixel map, one character per pixel; a picture is
changed by editing it and running the script again; the build uses the
committed output files and does not need Python.

Each icon holds one image for each size Windows asks for: 16 x 16 for the
notification area at 100 % scaling, 20, 24 and 32 for 125, 150 and 200 %,
and 48 for window and About box icons at 150 %. Every size is drawn from the
same shapes, scaled before they are filled, so the shell never resamples a
picture.
"""

import math
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

# Every picture is drawn at each size the shell asks for, from shapes given on
# a 16 x 16 grid and scaled to the size, so that no size is a resampled copy
# of another. Shapes are filled where a pixel's centre lies inside them.
SIZES = (16, 20, 24, 32, 48)


class Canvas:
    """A square pixel map of colour characters, transparent at first."""

    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def grid(self, value):
        """A 16-grid co-ordinate as a pixel edge of this size."""
        return int(math.floor(value * self.scale + 0.5))

    def rectangle(self, x0, y0, x1, y1, colour):
        """Fills the grid rectangle [x0, x1) x [y0, y1), scaled to pixels."""
        for y in range(self.grid(y0), self.grid(y1)):
            for x in range(self.grid(x0), self.grid(x1)):
                self.pixels[y][x] = colour

    def stroke(self, points, width, colour):
        """Draws the grid polyline `points` as a stroke `width` grid units wide."""
        half = width * self.scale / 2.0
        scaled = [(x * self.scale, y * self.scale) for x, y in points]
        for y in range(self.size):
            for x in range(self.size):
                centre = (x + 0.5, y + 0.5)
                if any(distance_to_segment(centre, a, b) <= half
                       for a, b in zip(scaled, scaled[1:])):
                    self.pixels[y][x] = colour

    def rows(self):
        return ["".join(row) for row in self.pixels]


def distance_to_segment(point, a, b):
    (px, py), (ax, ay), (bx, by) = point, a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def arc(cx, cy, radius, start, stop, steps=12):
    """Points of a circular arc from angle `start` to `stop` (degrees,
    clockwise on the screen, 0 pointing right)."""
    return [(cx + radius * math.cos(math.radians(start + (stop - start) * i / steps)),
             cy + radius * math.sin(math.radians(start + (stop - start) * i / steps)))
            for i in range(steps + 1)]


def line_width(size):
    """Width in pixels of the black outlines: one pixel up to 24, two above,
    so the large pictures do not look faint."""
    return 1 if size <= 24 else 2


# A network drive: a drive box with its slot and a lit lamp, hanging from a
# network line. The lower left of the grid, leaving the upper right free for
# the status mark.
def drive(size):
    canvas = Canvas(size)
    # The outline and the bevel (white light above and left, grey shadow
    # below and right) in grid units; the bevel stays one pixel up to 32 so
    # that the larger sizes show finer edges than the small ones.
    edge = line_width(size) / canvas.scale
    bevel = max(1, size // 24) / canvas.scale
    canvas.rectangle(0, 5, 14, 12, "k")
    canvas.rectangle(edge, 5 + edge, 14 - edge, 12 - edge, "w")
    canvas.rectangle(edge + bevel, 5 + edge + bevel, 14 - edge, 12 - edge, "g")
    canvas.rectangle(edge + bevel, 5 + edge + bevel, 14 - edge - bevel, 12 - edge - bevel, "s")
    canvas.rectangle(3, 8, 10, 9, "k")   # the slot
    canvas.rectangle(10, 8, 12, 9, "G")  # the lamp
    canvas.rectangle(6, 12, 8, 14, "k")  # the network line down to the bar
    canvas.rectangle(1, 14, 13, 16, "k")
    return canvas.rows()


# Status marks: the coloured strokes only; the black outline around them is
# added by `outlined`, so each mark stands out on the drive and on any
# taskbar colour.
def check_mark(size):
    canvas = Canvas(size)
    canvas.stroke([(7, 7.6), (8.7, 9.3), (14.6, 3.2)], 1.9, "G")
    return canvas.rows()


def exclamation(size, colour):
    canvas = Canvas(size)
    canvas.rectangle(11, 1, 14, 6, colour)
    canvas.rectangle(11.7, 6, 13.3, 7, colour)
    canvas.rectangle(11, 8, 14, 10.4, colour)
    return canvas.rows()


def question_mark(size):
    canvas = Canvas(size)
    canvas.stroke(arc(12.4, 3.4, 1.6, 200, 390) + [(12.2, 5.4), (12.2, 6.8)], 1.6, "C")
    canvas.rectangle(11.4, 8, 13.1, 10.4, "C")
    return canvas.rows()


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


def outlined(mark, width=1):
    """The mark with a black border `width` pixels wide around every stroke."""
    for _ in range(width - 1):
        mark = outlined(mark)
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
            chunk = row[start:start + per_byte]
            for c in chunk:
                byte = (byte << bits) | value_of(c)
            # A row that ends inside a byte fills it from the left.
            line.append(byte << (bits * (per_byte - len(chunk))))
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


def icon_file(pictures):
    """An .ico file holding one 16-colour image per picture, smallest first."""
    images = []
    for picture in pictures:
        check_picture(picture, len(picture))
        # Transparent pixels are black in the colour bits so that the mask
        # alone decides what shows through.
        images.append(image_bytes(picture, 4, PALETTE,
                                  lambda c: 0 if c == TRANSPARENT else COLOURS[c]))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for picture, image in zip(pictures, images):
        size = len(picture)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


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
    """The icon file of the drive with `mark` (a function of the size, or
    None for the drive alone), at every size."""
    pictures = []
    for size in SIZES:
        picture = drive(size)
        if mark:
            picture = overlay(picture, outlined(mark(size), line_width(size)))
        pictures.append(picture)
    return icon_file(pictures)


PICTURES = {
    "drive_ok.ico": lambda: drive_with(check_mark),
    "drive_warning.ico": lambda: drive_with(lambda size: exclamation(size, "Y")),
    "drive.ico": lambda: drive_with(None),
    "drive_danger.ico": lambda: drive_with(lambda size: exclamation(size, "R")),
    "drive_unknown.ico": lambda: drive_with(question_mark),
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
