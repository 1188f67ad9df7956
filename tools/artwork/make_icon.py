#!/usr/bin/env python3
"""Draws the product icon, the renderer's class icon and the front end's file
icon: 32 x 32 pixels in the 16 standard VGA colours, a glowing yellow-to-red
band swirling over black, written as a .ico."""
import math
import struct
import sys

SIZE = 32
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Glow ramp from darkness to the hot core, as palette indices.
RAMP = [0, 1, 9, 11, 15]


def glow(x, y):
    """Brightness in [0, 1] of a band that curls once around the centre."""
    u = (x + 0.5) / SIZE * 2 - 1
    v = (y + 0.5) / SIZE * 2 - 1
    radius = math.hypot(u, v)
    angle = math.atan2(v, u)
    band = abs(math.sin(1.6 * radius * math.pi - angle / 2))
    fade = max(0.0, 1.0 - radius * 0.9)
    return max(0.0, 1.0 - band * 1.1) * fade ** 0.4


def pixels():
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            level = min(len(RAMP) - 1, int(glow(x, y) * len(RAMP)))
            row.append(RAMP[level])
        rows.append(row)
    return rows


def ico(rows):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in VGA)
    colour = b""
    for row in reversed(rows):  # bitmaps are stored bottom-up
        colour += bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2))
    mask = bytes(SIZE // 8 * SIZE)  # fully opaque
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(ico(pixels()))


if __name__ == "__main__":
    main()
