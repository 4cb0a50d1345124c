#!/usr/bin/env python3
"""Draws the graph page's three capture buttons (data/Capture_*.bmp).

19 x 23 pixels, 8 bits per pixel: a black outlined symbol on a green field.
The inside of each symbol is white, the colour the buttons draw as
transparent, so it shows the button's face. Standard library only; the
BMP writer is the logos' one. Run from anywhere:
python3 data/tools/make_capture_buttons.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_logos import canvas, write_bmp8  # noqa: E402

WIDTH, HEIGHT = 19, 23
GREEN, BLACK, WHITE = (0, 160, 64), (0, 0, 0), (255, 255, 255)


def symbol(inside):
    """A field with the pixels for which inside(x, y) holds filled white
    and outlined in black (every filled pixel next to an empty one)."""
    image = canvas(WIDTH, HEIGHT, GREEN)
    filled = {(x, y) for y in range(HEIGHT) for x in range(WIDTH) if inside(x, y)}
    for x, y in filled:
        edge = any((x + dx, y + dy) not in filled for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        image[y][x] = BLACK if edge else WHITE
    return image


def play(x, y):
    # A triangle pointing right: from x = 5 (11 pixels high) to a tip at x = 14.
    if not 5 <= x <= 14:
        return False
    half = 5.5 * (14 - x) / 9.0
    return abs(y - 11) <= half + 0.25


def pause(x, y):
    return 6 <= y <= 16 and (4 <= x <= 7 or 11 <= x <= 14)


def stop(x, y):
    return 5 <= x <= 13 and 7 <= y <= 15


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    write_bmp8(os.path.join(folder, "Capture_record.bmp"), symbol(play))
    write_bmp8(os.path.join(folder, "Capture_pause.bmp"), symbol(pause))
    write_bmp8(os.path.join(folder, "Capture_end.bmp"), symbol(stop))


if __name__ == "__main__":
    main()
