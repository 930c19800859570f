#!/usr/bin/env python3
"""Draws the program's hand cursor (HAND-M.CUR) and icon (orvantis.png).

Both are committed; run this again only to change the drawings.
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


def icon_bytes():
    """A white sheet with a grid and three Gantt bars."""
    size = 32
    rgba = bytearray(size * size * 4)
    bars = [(4, 6, 17, (46, 125, 50)), (11, 12, 26, (21, 101, 192)), (18, 9, 22, (239, 108, 0))]
    for y in range(size):
        for x in range(size):
            colour = (0, 0, 0, 0)
            if 1 <= x <= 30 and 1 <= y <= 30:
                border = x in (1, 30) or y in (1, 30)
                grid = x % 5 == 0 or y % 7 == 0
                colour = (60, 60, 60, 255) if border else (200, 200, 200, 255) if grid else (255, 255, 255, 255)
                for top, left, right, bar in bars:
                    if top <= y < top + 5 and left <= x <= right:
                        colour = bar + (255,)
            rgba[(y * size + x) * 4:(y * size + x) * 4 + 4] = bytes(colour)
    return png_bytes(size, size, rgba)


if __name__ == "__main__":
    with open(os.path.join(HERE, "HAND-M.CUR"), "wb") as out:
        out.write(cursor_bytes())
    with open(os.path.join(HERE, "orvantis.png"), "wb") as out:
        out.write(icon_bytes())
