#!/usr/bin/env python3
"""Draws Polvane's application icon: a blue chat bubble under a red 'no' sign.

Writes, beside this script:
  Polvane.ico              every image as an icon file
  icon-16-colours.bin      32x32, 16 colours (RT_ICON 30001)
  icon-256-colours.bin     32x32, 256 colours (RT_ICON 30002)
  icon-N.png               NxN, 32-bit with alpha, PNG-compressed (RT_ICON 30003 on),
                           for N in SIZES: sharp at every scale from 100 % to 200 %
  icon-group.bin           the icon group that lists them all (RT_GROUP_ICON 1)
Run it again after changing the drawing; it needs only Python's standard library.
"""
import math
import os
import struct
import zlib

SIZE = 32
SAMPLES = 4  # supersampling per axis
SIZES = (16, 20, 24, 40, 48, 64, 256)  # the 32-bit images, after the two 32x32 ones
HERE = os.path.dirname(os.path.abspath(__file__))

VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def inside_bubble(x, y):
    ellipse = ((x - 14.0) / 13.0) ** 2 + ((y - 12.5) / 10.0) ** 2 <= 1.0
    # the tail: a triangle hanging below the bubble's lower left
    tail = y >= 18 and y <= 27.5 and x >= 5 and x <= 12 and (x - 5) >= (y - 18) * 0.55
    return ellipse or tail


def bubble_colour(x, y, flat):
    edge = not all(inside_bubble(x + dx, y + dy) for dx, dy in ((1.1, 0), (-1.1, 0), (0, 1.1), (0, -1.1)))
    if edge:
        return (16, 48, 128)
    if flat:
        colour = (0, 0, 255)
    else:
        shade = max(0.0, min(1.0, (y - 2.0) / 20.0))
        top, bottom = (120, 180, 255), (30, 90, 210)
        colour = tuple(round(t + (b - t) * shade) for t, b in zip(top, bottom))
    # three lines of "text" in the bubble
    for row, length in ((8.0, 15.0), (12.0, 12.0), (16.0, 9.0)):
        if row - 1.0 <= y <= row + 1.0 and 6.0 <= x <= 6.0 + length:
            return (255, 255, 255)
    return colour


def sign_colour(x, y):
    cx, cy, outer, inner = 23.0, 23.0, 8.5, 6.0
    d = math.hypot(x - cx, y - cy)
    if d > outer:
        return None
    if d >= inner:
        return (255, 0, 0)
    # the slash, from upper left to lower right
    if abs((x - cx) - (y - cy)) / math.sqrt(2) <= 1.4:
        return (255, 0, 0)
    return (255, 255, 255)


def sample(x, y, flat):
    colour = sign_colour(x, y)
    if colour is not None:
        return colour
    if inside_bubble(x, y):
        return bubble_colour(x, y, flat)
    return None


def hits_at(px, py, scale, flat):
    """The colours of the drawing under one pixel's samples, the drawing's
    32-unit grid scaled by scale."""
    hits = []
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            c = sample((px + (sx + 0.5) / SAMPLES) * scale, (py + (sy + 0.5) / SAMPLES) * scale, flat)
            if c is not None:
                hits.append(c)
    return hits


def render(flat):
    """Returns rows top to bottom of (r, g, b) or None for transparent.

    A flat rendering takes each pixel's commonest colour instead of blending,
    so that it keeps to the few colours of a 16-colour palette."""
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            hits = hits_at(px, py, 1.0, flat)
            if len(hits) * 2 < SAMPLES * SAMPLES:
                row.append(None)
            else:
                row.append(max(set(hits), key=hits.count) if flat else
                           tuple(round(sum(c[i] for c in hits) / len(hits)) for i in range(3)))
        pixels.append(row)
    return pixels


def render_rgba(size):
    """Rows top to bottom of (r, g, b, a) at size x size: each pixel's colour
    the mean of what covers it and its alpha the share covered, for smooth
    edges at any size."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = hits_at(px, py, SIZE / size, False)
            if not hits:
                row.append((0, 0, 0, 0))
            else:
                mean = tuple(round(sum(c[i] for c in hits) / len(hits)) for i in range(3))
                row.append(mean + (round(255 * len(hits) / (SAMPLES * SAMPLES)),))
        pixels.append(row)
    return pixels


def png(pixels):
    """A PNG of RGBA rows, as Windows takes in an icon from Vista on."""
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def palette_256(pixels):
    colours = sorted({c for row in pixels for c in row if c is not None})
    if len(colours) > 255:
        raise SystemExit("too many colours for a 256-colour image")
    return [(0, 0, 0)] + colours + [(0, 0, 0)] * (255 - len(colours))


def dib(pixels, palette, bits):
    """An icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up
        indices = [0 if c is None else nearest(c, palette) for c in row]
        if bits == 4:
            data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        else:
            data = bytes(indices)
        xor_rows.append(data.ljust((len(data) + 3) // 4 * 4, b"\0"))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is None else 0)
        and_rows.append(mask.to_bytes(SIZE // 8, "big").ljust(4, b"\0"))
    return header + colours + b"".join(xor_rows) + b"".join(and_rows)


def main():
    smooth = render(flat=False)
    # (width, colours, bits, data, resource id, file)
    images = [
        (SIZE, 16, 4, dib(render(flat=True), VGA16, 4), 30001, "icon-16-colours.bin"),
        (SIZE, 0, 8, dib(smooth, palette_256(smooth), 8), 30002, "icon-256-colours.bin"),
    ]
    for ident, size in enumerate(SIZES, start=30003):
        images.append((size, 0, 32, png(render_rgba(size)), ident, "icon-%d.png" % size))
    group = struct.pack("<HHH", 0, 1, len(images))
    icon_file = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colour_count, bits, data, ident, name in images:
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        side = size % 256  # 0 stands for 256
        entry = struct.pack("<BBBBHHI", side, side, colour_count, 0, 1, bits, len(data))
        group += entry + struct.pack("<H", ident)
        icon_file += entry + struct.pack("<I", offset)
        offset += len(data)
    with open(os.path.join(HERE, "icon-group.bin"), "wb") as f:
        f.write(group)
    with open(os.path.join(HERE, "Polvane.ico"), "wb") as f:
        f.write(icon_file + b"".join(image[3] for image in images))


if __name__ == "__main__":
    main()
