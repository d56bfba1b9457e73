#!/usr/bin/env python3
"""Draws the About window's Messenger banner: two overlapping chat bubbles and
the word "Messenger", on white.

Writes banner.gif beside this script: a GIF89a of 237 x 50 pixels with a
256-entry global colour table. Run it again after changing the drawing; it
needs only Python's standard library.
"""
import math
import os
import struct

WIDTH, HEIGHT = 237, 50
SAMPLES = 4  # supersampling per axis
LEVELS = 8  # coverage steps kept per pixel, which bounds the colour count
HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
BLUE = (34, 96, 200)
GREEN = (40, 160, 70)
OUTLINE = (20, 40, 90)
TEXT = (20, 50, 120)

BASELINE = 35.0
X_HEIGHT = 15.0
CAP_HEIGHT = 22.0
STROKE = 2.7


def arc(cx, cy, rx, ry, start, end, steps=24):
    """Points along an ellipse, angles in degrees, y pointing up as in maths."""
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / steps)),
             cy - ry * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


def glyphs():
    """Each letter as polylines in its own box; returns (width, strokes)."""
    b, xh = BASELINE, X_HEIGHT
    mid = b - xh / 2
    return {
        "M": (20, [[(1.5, b), (1.5, b - CAP_HEIGHT), (10, b - 8), (18.5, b - CAP_HEIGHT), (18.5, b)]]),
        "e": (14, [arc(7, mid, 5.7, xh / 2, 0, 315), [(1.3, mid), (12.7, mid)]]),
        "s": (12, [arc(6, b - xh * 0.75, 4.6, xh / 4, 35, 270) + arc(6, b - xh / 4, 4.6, xh / 4, 90, -145)]),
        "n": (13, [[(1.5, b - xh), (1.5, b)], [(1.5, b - 9)] + arc(6.5, b - 9, 5, 6, 180, 0) + [(11.5, b)]]),
        "g": (14, [arc(6.5, mid, 5.2, xh / 2, 0, 360), [(11.7, b - xh), (11.7, b + 3)] + arc(6.5, b + 3, 5.2, 4.5, 0, -160)]),
        "r": (9, [[(1.5, b - xh), (1.5, b)], [(1.5, b - 8)] + arc(6.5, b - 8, 5, 7, 180, 70)]),
    }


def text_strokes(word, left, spacing=2.5):
    shapes, x = [], left
    for letter in word:
        width, strokes = glyphs()[letter]
        shapes += [[(x + px, py) for px, py in line] for line in strokes]
        x += width + spacing
    segments = []
    for line in shapes:
        segments += list(zip(line, line[1:]))
    return segments


def distance_to_segment(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def in_bubble(x, y, cx, cy, rx, ry, tail_left):
    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
        return True
    # a tail hanging from the bubble's lower side
    top = cy + ry * 0.6
    if not top <= y <= cy + ry + 6:
        return False
    depth = (y - top) / (ry * 0.4 + 6)
    edge = cx - rx * 0.35 if tail_left else cx + rx * 0.35
    reach = rx * 0.3 * (1 - depth)
    return (edge - 2 - reach <= x <= edge) if tail_left else (edge <= x <= edge + 2 + reach)


BUBBLES = [  # back to front: centre, radii, tail side, colour
    ((21.0, 20.0), (17.0, 12.5), True, BLUE),
    ((37.0, 29.0), (14.5, 10.5), False, GREEN),
]
SEGMENTS = text_strokes("Messenger", 62.0)


def sample(x, y):
    if any(distance_to_segment(x, y, a, b) <= STROKE / 2 for a, b in SEGMENTS):
        return TEXT
    colour = WHITE
    for (cx, cy), (rx, ry), tail_left, fill in BUBBLES:
        if in_bubble(x, y, cx, cy, rx, ry, tail_left):
            near_edge = not all(in_bubble(x + dx, y + dy, cx, cy, rx, ry, tail_left)
                                for dx, dy in ((1.2, 0), (-1.2, 0), (0, 1.2), (0, -1.2)))
            colour = OUTLINE if near_edge else fill
        # three dots of "typing" in the front bubble
    if any(math.hypot(x - dx, y - 29.5) <= 1.9 for dx in (31.0, 37.0, 43.0)):
        colour = WHITE
    return colour


def render():
    rows = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            hits = {}
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    hits[c] = hits.get(c, 0) + 1
            total = SAMPLES * SAMPLES
            mixed = [sum(c[i] * n for c, n in hits.items()) / total for i in range(3)]
            # round each blend to a coverage step so the picture keeps to 256 colours
            main = max(hits, key=hits.get)
            row.append(tuple(int(round(v / (256 / LEVELS / 4))) * (256 // LEVELS // 4) for v in mixed)
                       if len(hits) > 1 else main)
        rows.append(row)
    return rows


def palette_of(rows):
    colours = sorted({c for row in rows for c in row})
    if len(colours) > 256:
        raise SystemExit(f"{len(colours)} colours: too many for one GIF colour table")
    return colours + [(0, 0, 0)] * (256 - len(colours))


def lzw(indices, min_code_size=8):
    """GIF's variable-width LZW, packed least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, size = fresh()
    emit(clear, size)
    current = (indices[0],)
    for index in indices[1:]:
        extended = current + (index,)
        if extended in table:
            current = extended
            continue
        emit(table[current], size)
        if next_code == 4096:
            emit(clear, size)
            table, next_code, size = fresh()
        else:
            table[extended] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        current = (index,)
    emit(table[current], size)
    emit(end, size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    return b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                    for i in range(0, len(data), 255)) + b"\0"


def main():
    rows = render()
    palette = palette_of(rows)
    lookup = {c: i for i, c in enumerate(palette)}
    indices = [lookup[c] for row in rows for c in row]
    gif = b"GIF89a" + struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF7, lookup[WHITE], 0)
    gif += b"".join(bytes(c) for c in palette)
    gif += b"\x2c" + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)
    gif += b"\x08" + sub_blocks(lzw(indices)) + b"\x3b"
    with open(os.path.join(HERE, "banner.gif"), "wb") as f:
        f.write(gif)


if __name__ == "__main__":
    main()
