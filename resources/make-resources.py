#!/usr/bin/env python3
"""Draws the program's hand cursor (HAND-M.CUR) and its icon: a scalable
drawing and pictures of it at the sizes desktops ask for, in the hicolor
theme's layout (hicolor/<size>/apps/orvantis.*).

All are committed; run this again only to change the drawings.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 32 x 32 hand, fingertip at (6, 0). '#' outline, '.' fill, ' ' transparent.
HAND = [
    "     ##                         ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..###                      ",
    "    #..#..###                   ",
    "    #..#..#..##                 ",
    "    #..#..#..#.#                ",
    " ## #..#..#..#..#               ",
    "#..##........#..#               ",
    "#...#...........#               ",
    " #..............#               ",
    "  #.............#               ",
    "  #.............#               ",
    "   #...........#                ",
    "   #...........#                ",
    "    #.........#                 ",
    "    #.........#                 ",
    "    ###########                 ",
] + [" " * 32] * 12
HOTSPOT = (6, 0)


def cursor_bytes():
    size = 32
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    for row in reversed([line.ljust(32) for line in HAND]):  # bottom-up rows
        bits = 0
        for x, cell in enumerate(row):
            colour = {"#": (0, 0, 0, 255), ".": (255, 255, 255, 255)}.get(cell, (0, 0, 0, 0))
            pixels += bytes((colour[2], colour[1], colour[0], colour[3]))
            if cell == " ":
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    image = header + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


def png_bytes(width, height, rgba):
    raw = b"".join(b"\0" + bytes(rgba[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# The icon on a 32-unit square: a white sheet with a dark frame, a grey grid
# and three Gantt bars, painted in this order. At 32 pixels every edge falls
# on a pixel's edge; other sizes scale it and shade the pixels an edge cuts.
ICON_UNITS = 32
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICON_LAYERS = (
    [((1, 1, 31, 31), (60, 60, 60)), ((2, 2, 30, 30), (255, 255, 255))]
    + [((x, 2, x + 1, 30), (200, 200, 200)) for x in (5, 10, 15, 20, 25)]
    + [((2, y, 30, y + 1), (200, 200, 200)) for y in (7, 14, 21, 28)]
    + [((6, 4, 18, 9), (46, 125, 50)), ((12, 11, 27, 16), (21, 101, 192)), ((9, 18, 23, 23), (239, 108, 0))]
)


def icon_svg():
    rects = "".join(
        f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="#{r:02x}{g:02x}{b:02x}"/>\n'
        for (x0, y0, x1, y1), (r, g, b) in ICON_LAYERS)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{ICON_UNITS}" height="{ICON_UNITS}" '
            f'viewBox="0 0 {ICON_UNITS} {ICON_UNITS}">\n{rects}</svg>\n').encode()


def overlap(low, high, pixel):
    """How much of the pixel [pixel, pixel + 1) lies in [low, high)."""
    return max(0.0, min(high, pixel + 1) - max(low, pixel))


def icon_png(size):
    """The layers painted over a transparent square, each pixel covered by
    the share of its area that a layer's rectangle covers."""
    scale = size / ICON_UNITS
    premultiplied = [[0.0] * 4 for _ in range(size * size)]
    for (x0, y0, x1, y1), colour in ICON_LAYERS:
        x0, y0, x1, y1 = x0 * scale, y0 * scale, x1 * scale, y1 * scale
        for y in range(int(y0), min(size, int(-(-y1 // 1)))):
            row = overlap(y0, y1, y)
            for x in range(int(x0), min(size, int(-(-x1 // 1)))):
                cover = row * overlap(x0, x1, x)
                pixel = premultiplied[y * size + x]
                for channel, value in enumerate(colour + (255,)):
                    pixel[channel] = value * cover + pixel[channel] * (1 - cover)
    rgba = bytearray()
    for red, green, blue, alpha in premultiplied:
        unmultiply = 255 / alpha if alpha else 0
        rgba += bytes(round(min(255, c * unmultiply)) for c in (red, green, blue)) + bytes((round(alpha),))
    return png_bytes(size, size, rgba)


def write(path, data):
    path = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    write("HAND-M.CUR", cursor_bytes())
    write("hicolor/scalable/apps/orvantis.svg", icon_svg())
    for size in ICON_SIZES:
        write(f"hicolor/{size}x{size}/apps/orvantis.png", icon_png(size))
