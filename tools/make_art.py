#!/usr/bin/env python3
"""Draws Brimview's artwork and writes it into src/resources.

Run from anywhere: python3 tools/make_art.py
Plain Python (struct, math and zlib only), deterministic: the same script always writes
the same bytes, so the generated files are committed beside it.

Writes:
  src/resources/{floppy,hard,network,cdrom,ram}.bmp  drive-kind icons, 16 x 11, 4 bpp
  src/resources/{settings,help}.bmp                   button glyphs, 16 x 16, 4 bpp in two colours
  src/resources/*125.bmp ... *300.bmp                 the same at 125, 150, 175, 200, 250 and 300 %
                                                      (the sizes of ArtLength), for screens of higher dpi
  src/resources/brimview.ico                          program icon, 16 to 96 px: 32 bpp for every scale of
                                                      the small (16 px) and large (32 px) icon, stored as
                                                      PNG above 48 px (read by Windows Vista and later), and
                                                      4 and 8 bpp at 16/24/32/48 px
  src/resources/skin/bg.bmp                           default skin, 64 x 64, 24 bpp, tileable
"""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "src", "resources")

# The standard 16-colour palette, in the order the system's 4-bit bitmaps use.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One letter per palette entry for the pixel maps below: black, maroon, dark green, olive, navy,
# purple, teal, silver, grey, red, green, yellow, blue, fuchsia, aqua, white. "." is pure blue,
# the drive icons' background and transparent key.
VGA_LETTERS = "kmdontpsgrGy.fAw"


# ---------------------------------------------------------------- file formats

def _row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def _pack_indices(row, bits):
    """Packs palette indices of one row into bytes, most significant bits first."""
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(row), per_byte):
        byte = 0
        for j in range(per_byte):
            value = row[i + j] if i + j < len(row) else 0
            byte = (byte << bits) | value
        out.append(byte)
    return bytes(out)


def _dib_rows(rows, bits):
    """Bottom-up pixel rows, each padded to four bytes. Rows hold indices (bits <= 8),
    (r, g, b) tuples (24) or (r, g, b, a) tuples (32)."""
    width = len(rows[0])
    stride = _row_stride(width, bits)
    data = bytearray()
    for row in reversed(rows):
        if bits <= 8:
            line = _pack_indices(row, bits)
        elif bits == 24:
            line = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)
        else:
            line = b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in row)
        data += line + b"\0" * (stride - len(line))
    return bytes(data)


def _info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, 0, 0)


def _palette(colours, count):
    entries = list(colours) + [(0, 0, 0)] * (count - len(colours))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)


def write_bmp(path, rows, bits, palette=None):
    """A palette shorter than the bit depth allows is stored as it is, its length in the header."""
    width, height = len(rows[0]), len(rows)
    pixels = _dib_rows(rows, bits)
    colour_table = _palette(palette, len(palette)) if bits <= 8 else b""
    used = len(palette) if bits <= 8 and len(palette) < 1 << bits else 0
    offset = 14 + 40 + len(colour_table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(_info_header(width, height, bits, len(pixels))[:-8] + struct.pack("<II", used, 0))
        f.write(colour_table)
        f.write(pixels)


def icon_image(rows, mask, bits, palette=None):
    """One icon image: the colour bitmap, then the 1-bit AND mask (1 = see-through)."""
    width, height = len(rows[0]), len(rows)
    pixels = _dib_rows(rows, bits)
    and_mask = _dib_rows([[1 if clear else 0 for clear in line] for line in mask], 1)
    colour_table = _palette(palette, 1 << bits) if bits <= 8 else b""
    header = _info_header(width, 2 * height, bits, len(pixels) + len(and_mask))
    return width, height, bits, header + colour_table + pixels + and_mask


def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def _png_filtered(line, previous):
    """The row under the PNG filter (None, Sub, Up, Average, Paeth) whose bytes sum smallest."""
    def paeth(a, b, c):
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        return a if pa <= pb and pa <= pc else (b if pb <= pc else c)
    left = lambda i: line[i - 4] if i >= 4 else 0
    upleft = lambda i: previous[i - 4] if i >= 4 else 0
    predictors = [lambda i: 0, left, lambda i: previous[i], lambda i: (left(i) + previous[i]) // 2,
                  lambda i: paeth(left(i), previous[i], upleft(i))]
    candidates = [bytes([kind]) + bytes((line[i] - predict(i)) & 255 for i in range(len(line)))
                  for kind, predict in enumerate(predictors)]
    return min(candidates, key=lambda row: sum(min(v, 256 - v) for v in row[1:]))


def png_image(rows):
    """One icon image stored as PNG: rows of (r, g, b, a) tuples."""
    width, height = len(rows[0]), len(rows)
    data, previous = b"", bytes(4 * width)
    for row in rows:
        line = b"".join(struct.pack("BBBB", *pixel) for pixel in row)
        data += _png_filtered(line, previous)
        previous = line
    png = (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
           _png_chunk(b"IDAT", zlib.compress(data, 9)) + _png_chunk(b"IEND", b""))
    return width, height, 32, png


def write_ico(path, images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, bits, blob in images:
        colour_count = 16 if bits == 4 else 0
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colour_count, 0, 1, bits, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(directory + entries + blobs)


# ---------------------------------------------------------------- drive icons

# 16 x 11 pixel maps. The bottom-left pixel must stay "." (pure blue): the drive list takes
# that pixel's colour as the key that it replaces with the item's background.
DRIVE_ICONS = {
    # A 3.5-inch diskette: metal shutter with its slot at the top, paper label below, cut corner.
    "floppy": [
        "..kkkkkkkkkk....",
        "..knnsssksnnk...",
        "..knnsssksnnk...",
        "..knnsssksnnk...",
        "..knnsssssnnk...",
        "..knnnnnnnnnk...",
        "..knwwwwwwwnk...",
        "..knwgggggwnk...",
        "..knwwwwwwwnk...",
        "..knwgggggwnk...",
        "..kkkkkkkkkkk...",
    ],
    # A hard-disk box seen from above and the front, with a bay line and its busy lamp.
    "hard": [
        "...kkkkkkkkkkkkk",
        "..kwwwwwwwwwwwkk",
        ".kwwwwwwwwwwwkgk",
        "kkkkkkkkkkkkkggk",
        "kssssssssssskggk",
        "ksggggggsssskggk",
        "kssssssssssskggk",
        "ksssssssssGskgk.",
        "kssssssssssskk..",
        "kkkkkkkkkkkkk...",
        "................",
    ],
    # The same box, smaller, on a network cable.
    "network": [
        "...kkkkkkkkkkk..",
        "..kwwwwwwwwwkk..",
        ".kkkkkkkkkkkgk..",
        ".kssssssssskgk..",
        ".ksssssssGskgk..",
        ".kssssssssskk...",
        ".kkkkkkkkkkk....",
        ".....kk.........",
        "GGGGGGGGGGGGGGGG",
        "dddddddddddddddd",
        "................",
    ],
    # A compact disc: white sheen with a touch of rainbow, a see-through centre hole.
    "cdrom": [
        "......kkk.......",
        "....kkwwskk.....",
        "...kswwwsssk....",
        "...ksswwsAsk....",
        "..ksssgggsssk...",
        "..ksssg.gsssk...",
        "..ksfsgggsssk...",
        "...ksssssswk....",
        "...ksssywwsk....",
        "....kksswkk.....",
        "......kkk.......",
    ],
    # A memory chip: dark body with a notch, silver legs along both long sides.
    "ram": [
        "................",
        "..s.s.s.s.s.s...",
        "..s.s.s.s.s.s...",
        ".kkkkkkkkkkkkk..",
        ".kgggggggggggk..",
        "..kkkkkkkkkkkk..",
        ".kkkkkkkkkkkkk..",
        ".kkskkkkkkkkkk..",
        "..s.s.s.s.s.s...",
        "..s.s.s.s.s.s...",
        "................",
    ],
}


def scale2x(art):
    """Doubles a pixel map (EPX / Scale2x): each pixel becomes four, and a corner takes a
    neighbour's colour where two neighbours meet diagonally, so slopes stay smooth rather than
    stepped. Outside the map counts as the pixel itself."""
    h, w = len(art), len(art[0])
    at = lambda x, y, p: art[y][x] if 0 <= x < w and 0 <= y < h else p
    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = art[y][x]
            a, b, c, d = at(x, y - 1, p), at(x + 1, y, p), at(x - 1, y, p), at(x, y + 1, p)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def art_length(length, percent):
    """A length of the 100 % map at percent, rounded half up: the program's ArtLength."""
    return (length * percent + 50) // 100


def scaled_art(art, percent):
    """The map at percent. Up to 200 % each pixel is taken from the doubled map at the place it
    covers, above from the map doubled twice, so slopes keep their smoothed corners."""
    if percent == 100:
        return [list(line) for line in art]
    times = 2 if percent <= 200 else 4
    smooth = scale2x(art) if times == 2 else scale2x(scale2x(art))
    h, w = len(art), len(art[0])
    return [[smooth[y * times * 100 // percent][x * times * 100 // percent] for x in range(art_length(w, percent))]
            for y in range(art_length(h, percent))]


ART_SCALES = (100, 125, 150, 175, 200, 250, 300)


def art_name(name, percent):
    return name + ("" if percent == 100 else str(percent)) + ".bmp"


def make_drive_icons():
    for name, art in DRIVE_ICONS.items():
        assert len(art) == 11 and all(len(line) == 16 for line in art), name
        assert art[-1][0] == ".", name
        for percent in ART_SCALES:
            scaled = scaled_art(art, percent)
            assert scaled[-1][0] == ".", name  # the transparent key stays in the corner
            rows = [[VGA_LETTERS.index(c) for c in line] for line in scaled]
            write_bmp(os.path.join(OUT, art_name(name, percent)), rows, 4, VGA)


# ---------------------------------------------------------------- button glyphs

GLYPH_INK = (34, 38, 48)
WHITE = (255, 255, 255)

# 16 x 16 maps, "#" ink on white. White is the glyph's see-through colour (the button takes the
# bottom-left pixel's colour as its key), so the bottom-left pixel stays white.
GLYPHS = {
    # A list: three rows of a square bullet and a bar.
    "settings": [
        "................",
        "................",
        "................",
        "..##.#########..",
        "..##.#########..",
        "................",
        "................",
        "..##.#########..",
        "..##.#########..",
        "................",
        "................",
        "..##.#########..",
        "..##.#########..",
        "................",
        "................",
        "................",
    ],
    # A question mark.
    "help": [
        "................",
        "................",
        ".....######.....",
        "....########....",
        "...###....###...",
        "...##......##...",
        "...........##...",
        "..........###...",
        "........####....",
        ".......###......",
        ".......##.......",
        ".......##.......",
        "................",
        ".......##.......",
        ".......##.......",
        "................",
    ],
}


def make_glyphs():
    for name, art in GLYPHS.items():
        assert len(art) == 16 and all(len(line) == 16 for line in art), name
        assert art[-1][0] == ".", name
        for percent in ART_SCALES:
            scaled = scaled_art(art, percent)
            assert scaled[-1][0] == ".", name
            rows = [[1 if c == "#" else 0 for c in line] for line in scaled]
            write_bmp(os.path.join(OUT, art_name(name, percent)), rows, 4, [WHITE, GLYPH_INK])


# ---------------------------------------------------------------- program icon

# A drive box with a fill gauge on its front, drawn in named surface colours. Each surface has a
# rich colour (256-colour and 32-bit images) and an entry of the 16-colour palette.
SURFACES = {
    "edge": ((44, 50, 64), 0),
    "top": ((238, 240, 245), 15),
    "front": ((198, 204, 214), 7),
    "side": ((140, 148, 162), 8),
    "well": ((252, 252, 252), 15),
    "fill": ((46, 168, 72), 2),
    "shine": ((128, 214, 140), 10),
    "lamp": ((90, 230, 90), 10),
}

# Per icon size: the front face (left, top, right, bottom, inclusive), the depth of the box,
# the gauge (left, top, right, bottom) and the lamp (left, top, size), in pixels.
ICON_LAYOUTS = {
    16: dict(front=(0, 6, 11, 14), depth=4, gauge=(2, 9, 9, 12), lamp=None),
    24: dict(front=(1, 10, 17, 21), depth=5, gauge=(3, 13, 15, 17), lamp=(14, 19, 2)),
    32: dict(front=(2, 13, 24, 28), depth=6, gauge=(5, 16, 21, 22), lamp=(19, 24, 2)),
    48: dict(front=(3, 19, 36, 42), depth=9, gauge=(7, 24, 32, 33), lamp=(29, 37, 3)),
    64: dict(front=(4, 26, 48, 57), depth=12, gauge=(9, 32, 43, 44), lamp=(39, 50, 4)),
}

GAUGE_SHARE = 0.6  # the used share the gauge shows

# The sizes Windows asks for at 100 to 300 %: the small icon (16 px at 100 %) and the large one
# (32 px) at every art scale. Images above 48 px are stored as PNG: Windows before Vista, which
# cannot read them, asks for none of those sizes.
ICON_SIZES = sorted({art_length(base, p) for base in (16, 32) for p in ART_SCALES}, reverse=True)
PNG_ABOVE = 48
LOW_COLOUR_SIZES = (48, 32, 24, 16)  # the sizes drawn for 16 and 256 colours too


def icon_layout(size):
    """The drawn layout of a size, or the 64 px one scaled to it."""
    if size in ICON_LAYOUTS:
        return ICON_LAYOUTS[size]
    at = lambda v: round(v * size / 64)
    big = ICON_LAYOUTS[64]
    lx, ly, n = big["lamp"]
    return dict(front=tuple(map(at, big["front"])), depth=at(big["depth"]), gauge=tuple(map(at, big["gauge"])),
                lamp=(at(lx), at(ly), max(2, at(n))))


def icon_surfaces(size):
    """Size x size grid of surface names (None = outside the icon)."""
    layout = icon_layout(size)
    x0, y0, x1, y1 = layout["front"]
    d = layout["depth"]
    grid = [[None] * size for _ in range(size)]

    for y in range(size):
        for x in range(size):
            if x0 <= x <= x1 and y0 <= y <= y1:
                on_edge = x in (x0, x1) or y in (y0, y1)
                grid[y][x] = "edge" if on_edge else "front"
            elif y0 - d <= y < y0 and x0 + (y0 - y) <= x <= x1 + (y0 - y):
                # The top face: each row one pixel further right than the row below it.
                on_edge = y == y0 - d or x in (x0 + (y0 - y), x1 + (y0 - y))
                grid[y][x] = "edge" if on_edge else "top"
            elif x1 < x <= x1 + d and y0 - (x - x1) <= y <= y1 - (x - x1):
                # The right face: each column one pixel higher than the column left of it.
                t = x - x1
                on_edge = t == d or y in (y0 - t, y1 - t)
                grid[y][x] = "edge" if on_edge else "side"

    gx0, gy0, gx1, gy1 = layout["gauge"]
    filled_to = gx0 + 1 + round((gx1 - gx0 - 1) * GAUGE_SHARE)
    for y in range(gy0, gy1 + 1):
        for x in range(gx0, gx1 + 1):
            if x in (gx0, gx1) or y in (gy0, gy1):
                grid[y][x] = "edge"
            elif x < filled_to:
                grid[y][x] = "shine" if y == gy0 + 1 and gy1 - gy0 > 3 else "fill"
            else:
                grid[y][x] = "well"

    if layout["lamp"]:
        lx, ly, n = layout["lamp"]
        for y in range(ly, ly + n):
            for x in range(lx, lx + n):
                grid[y][x] = "lamp"
    return grid


def shade(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


def rich_colour(surface, x, y, size):
    """The rich colour of a surface pixel: faces get a gentle light-from-top-left gradient."""
    colour = SURFACES[surface][0]
    if surface in ("front", "side", "top"):
        colour = shade(colour, 1.06 - 0.12 * (x + y) / (2 * size))
    return colour


def make_program_icon():
    images = []
    for bits in (32, 8, 4):
        for size in ICON_SIZES if bits == 32 else LOW_COLOUR_SIZES:
            grid = icon_surfaces(size)
            mask = [[s is None for s in line] for line in grid]
            if bits == 4:
                rows = [[0 if s is None else SURFACES[s][1] for s in line] for line in grid]
                images.append(icon_image(rows, mask, 4, VGA))
                continue
            colours = [[(0, 0, 0) if s is None else rich_colour(s, x, y, size) for x, s in enumerate(line)]
                       for y, line in enumerate(grid)]
            if bits == 32:
                rows = [[c + (0 if clear else 255,) for c, clear in zip(cl, ml)] for cl, ml in zip(colours, mask)]
                images.append(png_image(rows) if size > PNG_ABOVE else icon_image(rows, mask, 32))
            else:
                palette = sorted({c for line in colours for c in line})
                assert len(palette) <= 256
                rows = [[palette.index(c) for c in line] for line in colours]
                images.append(icon_image(rows, mask, 8, palette))
    write_ico(os.path.join(OUT, "brimview.ico"), images)


# ---------------------------------------------------------------- default skin

SKIN_SIZE = 64


def _grain(x, y):
    """A fixed pseudo-random value in [-1, 1] per pixel (integer hash, no global state)."""
    h = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0


def make_skin():
    """A soft blue-grey weave. Every term repeats within 64 pixels, so tiles meet without seams;
    the tones stay light and close together so that text under the white veil stays legible."""
    base = (158, 176, 196)
    n = SKIN_SIZE
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            wave = 7 * math.cos(2 * math.pi * (x + y) / n) + 4 * math.cos(2 * math.pi * 2 * (x - y) / n)
            weave = -5 if (x + y) % 4 == 0 else (-3 if (x - y) % 4 == 0 else 0)
            light = wave + weave + 2.5 * _grain(x, y)
            row.append(tuple(max(0, min(255, round(c + light * (0.9 + 0.1 * i)))) for i, c in enumerate(base)))
        rows.append(row)
    os.makedirs(os.path.join(OUT, "skin"), exist_ok=True)
    write_bmp(os.path.join(OUT, "skin", "bg.bmp"), rows, 24)


def main():
    make_drive_icons()
    make_glyphs()
    make_program_icon()
    make_skin()


if __name__ == "__main__":
    main()
