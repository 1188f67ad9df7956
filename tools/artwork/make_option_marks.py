#!/usr/bin/env python3
"""Draws the settings dialog's two option marks, 12 x 12 pixels each: an
empty ring (not chosen) and a ring with a dot (chosen), dark on the light
grey of the panel behind them, written as JPEG files with ImageMagick."""
import math
import os
import subprocess
import sys

SIZE = 12
PAPER = (236, 236, 240)
INK = (40, 40, 70)
DOT = (200, 60, 20)


def mark(chosen):
    pixels = []
    centre = (SIZE - 1) / 2
    for y in range(SIZE):
        for x in range(SIZE):
            distance = math.hypot(x - centre, y - centre)
            if abs(distance - 4.6) < 0.9:
                colour = INK
            elif chosen and distance < 2.6:
                colour = DOT
            else:
                colour = PAPER
            pixels.append(colour)
    return pixels


def write(path, pixels):
    ppm = f"P6 {SIZE} {SIZE} 255\n".encode() + bytes(c for p in pixels for c in p)
    subprocess.run(["convert", "ppm:-", "-strip", "-interlace", "none", "-quality", "95",
                    "-sampling-factor", "1x1,1x1,1x1", f"JPEG:{path}"], input=ppm, check=True)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_option_marks.py OUTPUT_FOLDER")
    os.makedirs(sys.argv[1], exist_ok=True)
    write(os.path.join(sys.argv[1], "option_off.jpg"), mark(False))
    write(os.path.join(sys.argv[1], "option_on.jpg"), mark(True))


if __name__ == "__main__":
    main()
