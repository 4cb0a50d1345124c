#!/usr/bin/env python3
"""Draws the three logo bitmaps of the main window (data/*.bmp).

Standard library only: a small block font, and BMP files written by hand.
HOLMAR (maker, top left) is an 8-bit bitmap with a colour table; ZENTOR
(brand, bottom left) and Tarvo (software, top right) are 24-bit bitmaps.
Run from anywhere: python3 data/tools/make_logos.py
"""
import os
import struct

GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
}


def text_mask(word, scale, gap):
    """Pixels of a word as a set of (x, y), and its width and height."""
    pixels = set()
    x0 = 0
    for ch in word:
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels.add((x0 + gx * scale + dx, gy * scale + dy))
        x0 += 5 * scale + gap
    return pixels, x0 - gap, 7 * scale


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def stamp(image, word, scale, gap, colour, cx=None, cy=None):
    pixels, w, h = text_mask(word, scale, gap)
    ox = (len(image[0]) - w) // 2 if cx is None else cx
    oy = (len(image) - h) // 2 if cy is None else cy
    for x, y in pixels:
        if 0 <= oy + y < len(image) and 0 <= ox + x < len(image[0]):
            image[oy + y][ox + x] = colour


def write_bmp24(path, image):
    height, width = len(image), len(image[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(image):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_bmp8(path, image):
    height, width = len(image), len(image[0])
    palette = sorted({c for row in image for c in row})
    index = {c: i for i, c in enumerate(palette)}
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(image):
        line = bytearray(index[c] for c in row)
        line += bytes(stride - len(line))
        data += line
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 54 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                       len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    white = (255, 255, 255)

    gold, dark_gold = (201, 160, 48), (140, 104, 20)
    holmar = canvas(175, 66, white)
    stamp(holmar, "HOLMAR", 4, 4, dark_gold, cx=20, cy=12)
    stamp(holmar, "HOLMAR", 4, 4, gold, cx=18, cy=10)
    for x in range(18, 158):
        holmar[48][x] = gold
        holmar[49][x] = gold
    write_bmp8(os.path.join(folder, "HOLMAR gold 72_reduit.bmp"), holmar)

    navy = (0, 32, 96)
    zentor = canvas(161, 20, navy)
    stamp(zentor, "ZENTOR", 2, 3, white)
    write_bmp24(os.path.join(folder, "ZENTOR blanc 72_reduit.bmp"), zentor)

    blue, light = (0, 87, 170), (120, 180, 235)
    tarvo = canvas(138, 67, white)
    for y in range(67):
        for x in range(138):
            if (x - 69) ** 2 / 66.0 ** 2 + (y - 33) ** 2 / 31.0 ** 2 <= 1.0:
                tarvo[y][x] = light
    stamp(tarvo, "TARVO", 4, 4, blue)
    write_bmp24(os.path.join(folder, "Tarvo_blue_reduit.bmp"), tarvo)


if __name__ == "__main__":
    main()
