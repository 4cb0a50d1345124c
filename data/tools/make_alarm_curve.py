#!/usr/bin/env python3
"""Draws the alarm page's curve bitmap (data/Courbe_alarm_setting.bmp).

Standard library only, like make_logos.py. The picture explains the five
numbered settings of the alarm page without words, so it serves every
language:
  top:    the pressure error over time, with the limits 1 (Error +) and
          2 (Error -) as dashed lines;
  bottom: the alarm output over time: it goes ON 3 (Delay ON) after the
          error left the band, stays ON at least 4 (Ton min), and goes OFF
          5 (Delay OFF) after the error came back.
Run from anywhere: python3 data/tools/make_alarm_curve.py
"""
import math
import os

from make_logos import GLYPHS, write_bmp24

WIDTH, HEIGHT = 372, 430

WHITE = (255, 255, 255)
PANEL = (236, 233, 216)
GRID = (200, 200, 200)
AXIS = (0, 0, 0)
CURVE = (0, 0, 255)        # the P2 colour of the live display
LIMIT = (255, 0, 0)        # the alarm colour
ALARM = (255, 0, 0)
MARK = (0, 0, 150)         # numbers and dimension arrows, as the page's radios

DIGITS = {
    "0": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "t": ["00100", "00100", "11111", "00100", "00100", "00101", "00010"],
}
FONT = dict(GLYPHS, **DIGITS)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def dot(self, x, y, colour, size=1):
        for dy in range(size):
            for dx in range(size):
                px, py = int(x) + dx - size // 2, int(y) + dy - size // 2
                if 0 <= px < self.width and 0 <= py < self.height:
                    self.rows[py][px] = colour

    def line(self, x0, y0, x1, y1, colour, size=1, dash=0):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(int(steps) + 1):
            if dash and (i // dash) % 2:
                continue
            t = i / steps
            self.dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, colour, size)

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.dot(x, y, colour)

    def arrow_head(self, x, y, dx, dy, colour, length=7, width=4):
        # A filled triangle with its tip at (x, y), pointing along (dx, dy).
        norm = math.hypot(dx, dy)
        ux, uy = dx / norm, dy / norm
        for i in range(length + 1):
            half = width * i / length
            cx, cy = x - ux * i, y - uy * i
            self.line(cx - uy * half, cy + ux * half, cx + uy * half, cy - ux * half, colour)

    def text(self, s, x, y, colour, scale=2):
        for ch in s:
            for gy, row in enumerate(FONT[ch]):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.fill(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, colour)
            x += 6 * scale
        return x

    def number(self, n, cx, cy):
        # A setting number in a circle, centred on (cx, cy).
        r = 11
        for a in range(360):
            t = math.radians(a)
            self.dot(cx + r * math.cos(t), cy + r * math.sin(t), MARK, 2)
        self.text(str(n), cx - 4, cy - 7, MARK)

    def dimension(self, x0, x1, y, n):
        # A double arrow from x0 to x1 at height y, with the number above.
        self.line(x0, y, x1, y, MARK)
        self.arrow_head(x0, y, -1, 0, MARK)
        self.arrow_head(x1, y, 1, 0, MARK)
        self.number(n, (x0 + x1) // 2, y - 16)


def error_at(x):
    """The pressure error at x: one long excursion above the band, a short
    dip below it (too short to start the alarm), flat in between."""
    bump = 62 * math.exp(-((x - 150) / 48.0) ** 4)
    dip = -50 * math.exp(-((x - 300) / 12.0) ** 2)
    return bump + dip


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    c = Canvas(WIDTH, HEIGHT, WHITE)
    c.fill(0, 0, WIDTH, HEIGHT, PANEL)
    c.fill(4, 4, WIDTH - 4, HEIGHT - 4, WHITE)

    left, right = 44, WIDTH - 16
    # Upper plot: the pressure error; zero at y0, the band at +-limit.
    y0, limit = 140, 36
    c.line(left, 28, left, 250, AXIS)
    c.arrow_head(left, 20, 0, -1, AXIS)
    c.line(left - 6, y0, right, y0, AXIS)
    c.arrow_head(right + 6, y0, 1, 0, AXIS)
    c.text("P", left + 8, 14, AXIS)
    c.text("t", right - 10, y0 + 8, AXIS)
    c.text("0", left - 18, y0 - 7, AXIS)
    c.text("+", left - 18, y0 - limit - 7, LIMIT)
    c.text("-", left - 18, y0 + limit - 7, LIMIT)
    c.line(left, y0 - limit, right, y0 - limit, LIMIT, 1, 5)
    c.line(left, y0 + limit, right, y0 + limit, LIMIT, 1, 5)
    c.number(1, right - 14, y0 - limit - 16)
    c.number(2, right - 14, y0 + limit + 18)

    points = [(x, y0 - error_at(x)) for x in range(left + 1, right)]
    # Where the error leaves and re-enters the band on its way up.
    above = [x for x, y in points if y0 - y > limit]
    leave, back = above[0], above[-1]
    delay_on, ton_min, delay_off = 34, 60, 44
    on, off = leave + delay_on, back + delay_off
    for x in (leave, back):
        c.line(x, y0 - limit, x, 300, GRID, 1, 3)
    for x in (on, off):
        c.line(x, 300, x, 395, GRID, 1, 3)
    c.line(on + ton_min, 320, on + ton_min, 395, GRID, 1, 3)
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        c.line(xa, ya, xb, yb, CURVE, 2)

    # Lower plot: the alarm output, OFF low and ON high.
    low, high = 365, 322
    c.line(left, 272, left, 385, AXIS)
    c.arrow_head(left, 264, 0, -1, AXIS)
    c.line(left - 6, low, right, low, AXIS)
    c.arrow_head(right + 6, low, 1, 0, AXIS)
    c.text("t", right - 10, low + 8, AXIS)
    c.text("ON", 8, high - 7, ALARM)
    c.text("OFF", 4, low - 16, ALARM)
    trace = [(left, low), (on, low), (on, high), (off, high), (off, low), (right, low)]
    for (xa, ya), (xb, yb) in zip(trace, trace[1:]):
        c.line(xa, ya, xb, yb, ALARM, 3)

    c.dimension(leave, on, 300, 3)
    c.dimension(on, on + ton_min, 400, 4)
    c.dimension(back, off, 300, 5)
    write_bmp24(os.path.join(folder, "Courbe_alarm_setting.bmp"), c.rows)


if __name__ == "__main__":
    main()
