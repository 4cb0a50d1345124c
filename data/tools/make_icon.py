#!/usr/bin/env python3
"""Draws the program's icon: a pressure gauge on the panel colour.

Standard library only. Writes data/icons/vrx4.svg and the PNG sizes 48,
128 and 256 (data/icons/vrx4-<size>.png), rasterised from the same shapes
with 4 x 4 samples a pixel so that the edges are smooth.
Run from anywhere: python3 data/tools/make_icon.py
"""
import math
import os
import struct
import zlib

PANEL = (236, 233, 216)   # the program's panel colour
BLUE = (0, 60, 130)       # frame and dial ring
ORANGE = (255, 128, 0)    # the CONTROL line colour: the needle
GREEN = (99, 151, 103)    # scale numbers colour: the ticks
WHITE = (255, 255, 255)

# Shapes on a 256-unit canvas, drawn in order.
CENTRE = (128.0, 140.0)
RADIUS = 92.0
START, END = math.radians(225), math.radians(-45)  # the gauge's sweep, clockwise


def rounded_square(x, y):
    """Inside the rounded frame (corner radius 40, 12 units margin)."""
    m, r = 12.0, 40.0
    cx = min(max(x, m + r), 256 - m - r)
    cy = min(max(y, m + r), 256 - m - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(x, y, radius, width):
    d = math.hypot(x - CENTRE[0], y - CENTRE[1])
    return abs(d - radius) <= width / 2


def disc(x, y, radius):
    return math.hypot(x - CENTRE[0], y - CENTRE[1]) <= radius


def segment(x, y, a, b, width):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width / 2


def polar(angle, radius):
    return (CENTRE[0] + radius * math.cos(angle), CENTRE[1] - radius * math.sin(angle))


TICKS = [START + (END - START) * i / 5 for i in range(6)]
NEEDLE = START + (END - START) * 0.7


def colour_at(x, y):
    """The colour of the icon at canvas point (x, y), or None outside."""
    if not rounded_square(x, y):
        return None
    if ring(x, y, RADIUS, 14):
        return BLUE
    for t in TICKS:
        if segment(x, y, polar(t, RADIUS - 26), polar(t, RADIUS - 10), 8):
            return GREEN
    if segment(x, y, CENTRE, polar(NEEDLE, RADIUS - 22), 12):
        return ORANGE
    if disc(x, y, 14):
        return BLUE
    if disc(x, y, RADIUS - 7):
        return WHITE
    return PANEL


def png(size):
    """RGBA PNG bytes of the icon at size x size pixels."""
    rows = []
    n = 4
    scale = 256.0 / size
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale)
                    if c is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hits:
                row += bytes([acc[0] // hits, acc[1] // hits, acc[2] // hits, 255 * hits // (n * n)])
            else:
                row += bytes([0, 0, 0, 0])
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def hexcolour(c):
    return "#%02x%02x%02x" % c


def svg():
    def pt(p):
        return "%.1f,%.1f" % p
    ticks = "".join(
        '<line x1="%.1f" y1="%.1f" x2="%.1f" y2="%.1f"/>' % (polar(t, RADIUS - 26) + polar(t, RADIUS - 10))
        for t in TICKS)
    tip = polar(NEEDLE, RADIUS - 22)
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
        '<rect x="12" y="12" width="232" height="232" rx="40" fill="%s"/>\n' % hexcolour(PANEL) +
        '<circle cx="%.1f" cy="%.1f" r="%.1f" fill="%s"/>\n' % (CENTRE + (RADIUS - 7, hexcolour(WHITE))) +
        '<circle cx="%.1f" cy="%.1f" r="%.1f" fill="none" stroke="%s" stroke-width="14"/>\n'
        % (CENTRE + (RADIUS, hexcolour(BLUE))) +
        '<g stroke="%s" stroke-width="8" stroke-linecap="round">%s</g>\n' % (hexcolour(GREEN), ticks) +
        '<line x1="%s" y1="%s" x2="%.1f" y2="%.1f" stroke="%s" stroke-width="12" stroke-linecap="round"/>\n'
        % (pt(CENTRE).split(",")[0], pt(CENTRE).split(",")[1], tip[0], tip[1], hexcolour(ORANGE)) +
        '<circle cx="%.1f" cy="%.1f" r="14" fill="%s"/>\n' % (CENTRE + (hexcolour(BLUE),)) +
        '</svg>\n')


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "icons")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "vrx4.svg"), "w") as f:
        f.write(svg())
    for size in (48, 128, 256):
        with open(os.path.join(out, "vrx4-%d.png" % size), "wb") as f:
            f.write(png(size))


if __name__ == "__main__":
    main()
