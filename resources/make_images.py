#!/usr/bin/env python3
"""Builds the program icon and the tool bar strip from the text pixel maps.

    make_images.py                 write mainicon.ico, toolbar.bmp and toolbar24.bmp
    make_images.py --check         fail if the committed files are out of date
    make_images.py --preview FILE  write an 8x enlarged PNG of every image

A map file holds a legend, a line "pixels:", then one text row per pixel row:

    # comment
    . transparent
    K 000000
    pixels:
    ....KKKK....

Every legend line names one character (not "#", which starts a comment) and
either an RRGGBB colour or the word "transparent"; exactly one character must
be transparent. The tool bar strip marks transparent pixels with magenta, so
no drawn pixel may be magenta. The icon maps may use at most 15 colours besides
black, as the icon is stored with 4 bits per pixel.

Only the standard library is used, so the images can be rebuilt anywhere.
"""

import argparse
import pathlib
import struct
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent
IMAGES = HERE / "images"

ICON_MAPS = (("mainicon32.txt", 32), ("mainicon16.txt", 16))
# Order matters: the index in the strip is the image index the tool bar uses.
TOOLBAR_MAPS = ("open.txt", "export.txt", "copy.txt", "wrap.txt",
                "find.txt", "settings.txt", "about.txt")
TOOLBAR_SIZE = 16
# The strip for 144 dpi: each map at 24 pixels, every other pixel doubled, so every pixel stays a
# solid square of its colour (no blending); the program scales 16 and 24 by whole multiples beyond.
TOOLBAR_LARGE_SIZE = 24
MASK_RGB = (0xFF, 0x00, 0xFF)
ICON_COLOURS = 16

TRANSPARENT = None  # a pixel value: no colour


class MapError(Exception):
    """A pixel map that cannot be turned into an image."""


# ---------------------------------------------------------------- map reading

def parse_colour(text, where):
    if len(text) != 6 or any(c not in "0123456789abcdefABCDEF" for c in text):
        raise MapError(f"{where}: colour must be RRGGBB hex, got {text!r}")
    value = int(text, 16)
    return (value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF)


def parse_legend_line(line, where):
    parts = line.split()
    if len(parts) != 2 or len(parts[0]) != 1:
        raise MapError(f"{where}: legend line must be 'C RRGGBB' or "
                       f"'C transparent', got {line!r}")
    char, value = parts
    if value.lower() == "transparent":
        return char, TRANSPARENT
    colour = parse_colour(value, where)
    if colour == MASK_RGB:
        raise MapError(f"{where}: FF00FF is the tool bar's mask colour; "
                       "use 'transparent' or another colour")
    return char, colour


def parse_legend(lines, name):
    legend = {}
    for number, raw in lines:
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        char, colour = parse_legend_line(line, f"{name}:{number}")
        if char in legend:
            raise MapError(f"{name}:{number}: character {char!r} defined twice")
        legend[char] = colour
    transparent = [c for c, v in legend.items() if v is TRANSPARENT]
    if len(transparent) != 1:
        raise MapError(f"{name}: exactly one character must be transparent, "
                       f"found {len(transparent)}")
    return legend


def parse_rows(lines, legend, size, name):
    rows = [(number, raw.rstrip("\r\n")) for number, raw in lines]
    while rows and not rows[-1][1].strip():
        rows.pop()
    if len(rows) != size:
        raise MapError(f"{name}: expected {size} pixel rows, found {len(rows)}")
    pixels = []
    for number, row in rows:
        if len(row) != size:
            raise MapError(f"{name}:{number}: expected {size} pixels, "
                           f"found {len(row)}")
        unknown = sorted(set(row) - legend.keys())
        if unknown:
            raise MapError(f"{name}:{number}: characters not in the legend: "
                           + " ".join(repr(c) for c in unknown))
        pixels.append([legend[c] for c in row])
    return pixels


def parse_map(text, size, name):
    """Returns size rows of size pixels, each an (r, g, b) tuple or None."""
    lines = list(enumerate(text.splitlines(), start=1))
    split = next((i for i, (_, l) in enumerate(lines)
                  if l.strip() == "pixels:"), None)
    if split is None:
        raise MapError(f"{name}: no 'pixels:' line")
    legend = parse_legend(lines[:split], name)
    return parse_rows(lines[split + 1:], legend, size, name)


def load_map(filename, size):
    path = IMAGES / filename
    try:
        text = path.read_text(encoding="ascii")
    except (OSError, UnicodeDecodeError) as error:
        raise MapError(f"{filename}: cannot read: {error}") from error
    return parse_map(text, size, filename)


# ---------------------------------------------------------------- ICO writing

def icon_palette(pixels, name):
    """Index 0 is black so transparent pixels leave the screen untouched."""
    palette = [(0, 0, 0)]
    for row in pixels:
        for colour in row:
            if colour is not TRANSPARENT and colour not in palette:
                palette.append(colour)
    if len(palette) > ICON_COLOURS:
        raise MapError(f"{name}: uses {len(palette)} colours counting black, "
                       f"the icon allows {ICON_COLOURS}")
    return palette + [(0, 0, 0)] * (ICON_COLOURS - len(palette))


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def xor_row(row, palette):
    indices = [0 if c is TRANSPARENT else palette.index(c) for c in row]
    return padded(bytes(indices[i] << 4 | indices[i + 1]
                        for i in range(0, len(indices), 2)))


def and_row(row):
    bits = 0
    for colour in row:
        bits = bits << 1 | (colour is TRANSPARENT)
    return padded(bits.to_bytes(len(row) // 8, "big"))


def icon_image(pixels, name):
    """One 4-bit DIB as an icon stores it: header, palette, colour, mask."""
    size = len(pixels)
    palette = icon_palette(pixels, name)
    bottom_up = pixels[::-1]
    colour_bits = b"".join(xor_row(r, palette) for r in bottom_up)
    mask_bits = b"".join(and_row(r) for r in bottom_up)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour_bits) + len(mask_bits), 0, 0,
                         ICON_COLOURS, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + colour_bits + mask_bits


def build_ico(icons):
    """icons: list of (name, pixels). Largest first, as the shell expects."""
    images = [icon_image(pixels, name) for name, pixels in icons]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (_, pixels), image in zip(icons, images):
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ICON_COLOURS,
                           0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


# ---------------------------------------------------------------- BMP writing

def strip_pixels(images):
    """Side by side, left to right; transparent pixels become magenta."""
    size = len(images[0])
    return [[MASK_RGB if c is TRANSPARENT else c
             for image in images for c in image[y]]
            for y in range(size)]


def scaled(pixels, size):
    """Nearest-neighbour scaling of a square map to size x size pixels."""
    source = len(pixels)
    return [[pixels[y * source // size][x * source // size]
             for x in range(size)] for y in range(size)]


def build_bmp(rows):
    width, height = len(rows[0]), len(rows)
    bits = b"".join(padded(bytes(v for r, g, b in row for v in (b, g, r)))
                    for row in rows[::-1])
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits),
                       2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0,
                       14 + len(info))
    return head + info + bits


# ------------------------------------------- reading back, for the preview

def read_ico(data):
    """Returns [(size, pixels)] decoded from a 4-bit icon file."""
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise MapError("not an icon file")
    result = []
    for i in range(count):
        fields = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        offset = fields[7]
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        size, depth = header[1], header[4]
        if depth != 4 or header[2] != 2 * size:
            raise MapError("unexpected icon image format")
        table = data[offset + 40: offset + 40 + 64]
        palette = [(table[j + 2], table[j + 1], table[j])
                   for j in range(0, 64, 4)]
        colour_stride = len(padded(bytes(size // 2)))
        mask_stride = len(padded(bytes(size // 8)))
        colour_at = offset + 40 + 64
        mask_at = colour_at + colour_stride * size
        pixels = []
        for y in range(size - 1, -1, -1):
            row = []
            for x in range(size):
                byte = data[colour_at + y * colour_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                mask = data[mask_at + y * mask_stride + x // 8]
                hidden = mask >> (7 - x % 8) & 1
                row.append(TRANSPARENT if hidden else palette[index])
            pixels.append(row)
        result.append((size, pixels))
    return result


def read_bmp(data):
    """Decodes a bottom-up 24-bit BMP; magenta reads back as transparent."""
    offset = struct.unpack_from("<I", data, 10)[0]
    header = struct.unpack_from("<IiiHH", data, 14)
    width, height, depth = header[1], header[2], header[4]
    if depth != 24 or height <= 0:
        raise MapError("unexpected bitmap format")
    stride = (width * 3 + 3) // 4 * 4
    pixels = []
    for y in range(height - 1, -1, -1):
        at = offset + y * stride
        row = []
        for x in range(width):
            b, g, r = data[at + 3 * x: at + 3 * x + 3]
            row.append(TRANSPARENT if (r, g, b) == MASK_RGB else (r, g, b))
        pixels.append(row)
    return pixels


# ---------------------------------------------------------------- PNG preview

class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.rows = [bytearray(bytes(fill) * width) for _ in range(height)]

    def fill(self, left, top, width, height, colour):
        for y in range(top, top + height):
            self.rows[y][3 * left: 3 * (left + width)] = bytes(colour) * width

    def paste(self, pixels, left, top, scale):
        for y, row in enumerate(pixels):
            for x, colour in enumerate(row):
                if colour is not TRANSPARENT:
                    self.fill(left + x * scale, top + y * scale, scale, scale,
                              colour)

    def png(self):
        raw = b"".join(b"\0" + bytes(row) for row in self.rows)

        def chunk(kind, body):
            crc = zlib.crc32(kind + body) & 0xFFFFFFFF
            return struct.pack(">I", len(body)) + kind + body + \
                struct.pack(">I", crc)

        head = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(ico, bmp):
    """Big copies to judge the drawing, plus actual size on light and dark."""
    icons = read_ico(ico)
    strip = read_bmp(bmp)
    scale, gap = 8, 16
    grey, dark = (0xA0, 0xA0, 0xA0), (0x40, 0x40, 0x40)
    width = gap * 2 + len(strip[0]) * scale
    height = gap * 4 + (32 + 16) * scale + 40
    canvas = Canvas(width, height, grey)
    left = gap
    for size, pixels in icons:
        canvas.paste(pixels, left, gap, scale)
        left += size * scale + gap
    for size, pixels in icons:  # actual size, on both backgrounds
        canvas.paste(pixels, left, gap, 1)
        canvas.fill(left, gap + 40, size, size, dark)
        canvas.paste(pixels, left, gap + 40, 1)
        left += size + gap
    top = gap * 2 + 32 * scale
    canvas.paste(strip, gap, top, scale)
    top += 16 * scale + gap
    canvas.paste(strip, gap, top, 1)
    canvas.fill(gap + len(strip[0]) + gap, top, len(strip[0]), 16, dark)
    canvas.paste(strip, gap + len(strip[0]) + gap, top, 1)
    return canvas.png()


# ---------------------------------------------------------------- driver

def build_all():
    icons = [(name, load_map(name, size)) for name, size in ICON_MAPS]
    tools = [load_map(name, TOOLBAR_SIZE) for name in TOOLBAR_MAPS]
    large = [scaled(tool, TOOLBAR_LARGE_SIZE) for tool in tools]
    return (build_ico(icons), build_bmp(strip_pixels(tools)),
            build_bmp(strip_pixels(large)))


def outputs(ico, bmp, large):
    return ((HERE / "mainicon.ico", ico), (HERE / "toolbar.bmp", bmp),
            (HERE / "toolbar24.bmp", large))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true",
                      help="compare with the files on disk, write nothing")
    mode.add_argument("--preview", metavar="PNG",
                      help="write an enlarged preview instead")
    args = parser.parse_args(argv)
    try:
        ico, bmp, large = build_all()
    except MapError as error:
        print(f"make_images: {error}", file=sys.stderr)
        return 1
    if args.preview:
        pathlib.Path(args.preview).write_bytes(preview(ico, bmp))
        return 0
    if args.check:
        stale = [p.name for p, data in outputs(ico, bmp, large)
                 if not p.exists() or p.read_bytes() != data]
        for name in stale:
            print(f"make_images: {name} is out of date", file=sys.stderr)
        return 1 if stale else 0
    for path, data in outputs(ico, bmp, large):
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
