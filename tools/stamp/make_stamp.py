#!/usr/bin/env python3
"""Draws the stamp frame picture of the stamp sheet: assets/stamp.png, 119 x 149 pixels.

A light grey band with a near-black outline runs round the edge; its outer edge is perforated
(rounded teeth centred every 10 pixels from 14, reaching the picture's edge, white notches
between them, a smaller tooth at each corner, white corner pixels). Inside the band a white
window with a one-pixel outline on columns 9 and 109 and rows 9 and 139: printed at 15 twips
per pixel, a photo placed 150 twips in from the top-left with 150 twips to spare at the right
and the bottom covers exactly the white columns 10-108 and rows 10-138.

Uses only the standard library, so it runs wherever Python 3 does:
    python3 tools/stamp/make_stamp.py assets/stamp.png
"""

import struct
import sys
import zlib

WIDTH, HEIGHT = 119, 149
WHITE = (255, 255, 255)
BAND = (216, 216, 216)
INK = (8, 0, 0)

# The white window and its outline.
WINDOW_LEFT, WINDOW_RIGHT = 9, 109    # outline columns
WINDOW_TOP, WINDOW_BOTTOM = 9, 139    # outline rows

# The notches are half discs cut into the edge midway between the teeth; the corners are cut
# by a slightly larger disc, which leaves a smaller tooth beside each corner.
NOTCH_RADIUS = 3.5
CORNER_RADIUS = 4.0
FIRST_NOTCH, NOTCH_STEP = 9, 10


def notch_centres():
    centres = []
    # Disc centres sit half a pixel outside the picture, on its edge line.
    left, top, right, bottom = -0.5, -0.5, WIDTH - 0.5, HEIGHT - 0.5
    for x in range(FIRST_NOTCH, WIDTH - FIRST_NOTCH + 1, NOTCH_STEP):
        centres += [(x, top), (x, bottom)]
    for y in range(FIRST_NOTCH, HEIGHT - FIRST_NOTCH + 1, NOTCH_STEP):
        centres += [(left, y), (right, y)]
    return centres


def corner_centres():
    return [(-0.5, -0.5), (WIDTH - 0.5, -0.5), (-0.5, HEIGHT - 0.5), (WIDTH - 0.5, HEIGHT - 0.5)]


def in_stamp(x, y, notches):
    if not (0 <= x < WIDTH and 0 <= y < HEIGHT):
        return False
    for cx, cy in notches:
        if (x - cx) ** 2 + (y - cy) ** 2 <= NOTCH_RADIUS ** 2:
            return False
    for cx, cy in corner_centres():
        if (x - cx) ** 2 + (y - cy) ** 2 <= CORNER_RADIUS ** 2:
            return False
    return True


def draw():
    notches = notch_centres()
    shape = [[in_stamp(x, y, notches) for x in range(WIDTH)] for y in range(HEIGHT)]

    def inside(x, y):
        return 0 <= x < WIDTH and 0 <= y < HEIGHT and shape[y][x]

    pixels = [[WHITE] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if not shape[y][x]:
                continue
            # The stamp's own edge, teeth included, is outlined.
            edge = not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            pixels[y][x] = INK if edge else BAND
    for y in range(WINDOW_TOP, WINDOW_BOTTOM + 1):
        for x in range(WINDOW_LEFT, WINDOW_RIGHT + 1):
            on_outline = x in (WINDOW_LEFT, WINDOW_RIGHT) or y in (WINDOW_TOP, WINDOW_BOTTOM)
            pixels[y][x] = INK if on_outline else WHITE
    return pixels


def png_bytes(pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    rows = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in pixels)
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "assets/stamp.png"
    with open(out, "wb") as f:
        f.write(png_bytes(draw()))


if __name__ == "__main__":
    main()
