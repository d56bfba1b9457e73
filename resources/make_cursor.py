#!/usr/bin/env python3
"""Draws the hand pointer shown over the About window's links: a white hand,
outlined in black, its index finger pointing up.

Writes, beside this script:
  hand.cur          the pointer as a cursor file
  hand-image.bin    its one image, 32 x 32 in 256 colours (RT_CURSOR 30003)
  hand-group.bin    the cursor group that lists it (RT_GROUP_CURSOR 402)
The hot spot is at the tip of the finger. The resources are written out here,
not left to the resource compiler, so that the group records the image's
true colour depth with windres as with rc. Run it again after changing the drawing; it
needs only Python's standard library.
"""
import math
import os
import struct

SIZE = 32
HOT_SPOT = (11, 1)
HERE = os.path.dirname(os.path.abspath(__file__))

BLACK, WHITE = 0, 1
PALETTE = [(0, 0, 0), (255, 255, 255)] + [(0, 0, 0)] * 254


def capsule(ax, ay, bx, by, radius):
    def distance(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - radius
    return distance


def rounded_rect(left, top, right, bottom, radius):
    def distance(x, y):
        qx = max(left + radius - x, x - (right - radius), 0.0)
        qy = max(top + radius - y, y - (bottom - radius), 0.0)
        inside = min(max(left + radius - x, x - (right - radius), top + radius - y,
                         y - (bottom - radius)), 0.0)
        return math.hypot(qx, qy) + inside - radius
    return distance


# Painted in order, each with its own outline, so the fingers show their edges
# over the palm.
SHAPES = [
    rounded_rect(8.6, 14.5, 28.0, 29.5, 4.5),
    capsule(5.0, 16.5, 10.5, 23.0, 2.6),
    capsule(26.0, 15.0, 26.0, 19.0, 2.4),
    capsule(21.2, 13.0, 21.2, 18.5, 2.6),
    capsule(16.4, 12.0, 16.4, 18.5, 2.6),
    capsule(11.6, 3.6, 11.6, 19.0, 2.6),
]


def render():
    """Rows top to bottom of palette indices, or None where transparent."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            x, y = px + 0.5, py + 0.5
            colour = None
            for shape in SHAPES:
                d = shape(x, y)
                if d <= 0.0:
                    colour = BLACK if d > -1.0 else WHITE
            row.append(colour)
        rows.append(row)
    return rows


def dib(rows):
    """A cursor image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = b"".join(bytes(BLACK if c is None else c for c in row) for row in reversed(rows))
    mask = b""
    for row in reversed(rows):
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask += bits.to_bytes(SIZE // 8, "big")
    return header + colours + xor + mask


IMAGE_ID = 30003


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    image = dib(render())
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 22)
    write("hand.cur", directory + entry + image)
    # RT_CURSOR data starts with the hot spot; the group entry gives the
    # height of image and mask together, then planes and bits per pixel.
    write("hand-image.bin", struct.pack("<HH", *HOT_SPOT) + image)
    group_entry = struct.pack("<HHHHIH", SIZE, SIZE * 2, 1, 8, len(image) + 4, IMAGE_ID)
    write("hand-group.bin", directory + group_entry)


if __name__ == "__main__":
    main()
