#!/usr/bin/env python3
"""Draws the six 64 x 25 skins of the front end's push button as 24-bit BMP
files from their ring colour tables: four rings of frame on each side, a
light run along the top and bottom outline, vertical ramps down the sides and
curved corners derived from the given top-left corner of the Normal skin.

    make_button_skins.py OUTPUT_FOLDER           writes the six files
    make_button_skins.py --check OUTPUT_FOLDER   fails when they differ
"""
import os
import struct
import sys

WIDTH, HEIGHT = 64, 25
RINGS = 4
# Rows of the side edges that the ramps span: the edge between the corners.
RAMP_TOP, RAMP_BOTTOM = RINGS, HEIGHT - 1 - RINGS
LIGHT_RUN = range(32, 57)
LIGHT_TOP, LIGHT_BOTTOM = "DCD6C2", "FAFAF6"
OUTLINE = "003C74"

# Per skin and side, the colours of rings 0 to 3; a side ring that is a list
# of several colours is a vertical ramp from the first (top) to the last.
NORMAL = {
    "top": ["E0DCC9", OUTLINE, "F3F3EE", "F3F3EE"],
    "bottom": ["F8F7F0", OUTLINE, "D6D0C5", "E2DFD6"],
    "left": ["E2DECB", OUTLINE, ["FDFDFC", "ECEBE6"], ["FDFDFC", "EBEBE5"]],
    "right": ["F0EEE0", OUTLINE, ["F6F4F2", "E0DDD4"], ["FBFBFA", "E4E2DA"]],
}
HIGHLIGHT = {
    "top": ["E0DCC9", OUTLINE, "FFF0CF", "FDD889"],
    "bottom": ["F8F7F0", OUTLINE, "E59700", "F8B330"],
    "left": ["E2DECB", OUTLINE, ["FEDF9A", "F9B435"], ["FCD279", "F8B535"]],
    "right": ["F0EEE0", OUTLINE, ["FDE09B", "F8B435"], ["FCD279", "F8B535"]],
}
SELECTED = {
    "top": ["E0DCC9", OUTLINE, "CEE7FF", "CEE7FF"],
    "bottom": ["F8F7F0", OUTLINE, "6982EE", "6982EE"],
    "left": ["E2DECB", OUTLINE, ["B7D0F4", "8BADE4"], ["B8D1F4", "8BADE4"]],
    "right": ["F0EEE0", OUTLINE, ["B1CCF2", "8BAFE5"], ["B1CCF2", "8BAFE5"]],
}
PRESSED = {
    "top": ["ECE9D8", "E0DCC9", OUTLINE, "D1CCC1"],
    "bottom": ["ECE9D8", "F8F7F0", OUTLINE, "F2F1EE"],
    "left": ["ECE9D8", "E2DECB", OUTLINE, ["A0ABB1", "D7D4CB", "BCC5C7"]],
    "right": ["ECE9D8", "F0EEE0", OUTLINE, ["A9B5BD", "E4E3DC", "C4CED2"]],
}
DISABLE = {side: ["ECE9D8", "C9C7BA", "F5F4EA", "F5F4EA"] for side in ("top", "bottom", "left", "right")}

# File name, ring table, the ring that carries the light run (None: no run),
# and how many plain outer rings the curved corner is moved inwards by.
SKINS = [
    ("normal.bmp", NORMAL, 0, 0),
    ("highlight.bmp", HIGHLIGHT, 0, 0),
    ("selected.bmp", SELECTED, 0, 0),
    ("highlight_select.bmp", HIGHLIGHT, 0, 0),
    ("pressed.bmp", PRESSED, 1, 1),
    ("disable.bmp", DISABLE, None, 0),
]

# The given top-left 4 x 4 of Normal, row by row.
NORMAL_CORNER = [
    ["E9E7D5", "E4DFCE", "E1DDCA", "E0DCC9"],
    ["E4DFCE", "E6E1D0", "7A95A8", "255783"],
    ["E2DECB", "7A95A8", "557DA2", "C0CFDD"],
    ["E2DECB", "255783", "BFCEDC", "FEFEFE"],
]
# What each corner pixel is made of: weights of the outer colour, the outline
# and the inner colour, measured from NORMAL_CORNER. The letter says which
# side's colours a pixel takes: t top, l left, c both (their average).
CORNER_MIX = [
    [("c", 1, 0, 0), ("t", 1, 0, 0), ("t", 1, 0, 0), ("t", 1, 0, 0)],
    [("l", 1, 0, 0), ("c", 1, 0, 0), ("t", .54, .46, 0), ("t", .17, .83, 0)],
    [("l", 1, 0, 0), ("l", .54, .46, 0), ("c", 0, .665, .335), ("t", 0, .24, .76)],
    [("l", 1, 0, 0), ("l", .17, .83, 0), ("l", 0, .24, .76), ("c", 0, 0, 1)],
]


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(colours, row):
    """Colour of a side ring at a row: flat, or a ramp over the side edge."""
    if isinstance(colours, str):
        return rgb(colours)
    points = [rgb(c) for c in colours]
    position = min(max(row - RAMP_TOP, 0), RAMP_BOTTOM - RAMP_TOP) / (RAMP_BOTTOM - RAMP_TOP)
    span = position * (len(points) - 1)
    index = min(int(span), len(points) - 2)
    return mix(points[index], points[index + 1], span - index)


def corner_roles(table, horizontal, vertical, shift):
    """Outer, outline and inner colours of one corner, for its top-or-bottom
    side (t) and its left-or-right side (l)."""
    end_row = RAMP_TOP if vertical == "top" else RAMP_BOTTOM
    roles = {}
    for key, side in (("t", vertical), ("l", horizontal)):
        rings = [ramp(c, end_row) for c in table[side]]
        roles[key] = (rings[shift], rings[shift + 1], rings[min(shift + 2, RINGS - 1)])
    roles["c"] = tuple(tuple(round((a + b) / 2) for a, b in zip(roles["t"][i], roles["l"][i])) for i in range(3))
    return roles


def corner(table, horizontal, vertical, shift):
    """The 4 x 4 corner as seen from the top-left: each pixel is the given
    Normal pixel with the Normal top-left colours of its mix swapped for this
    skin's colours of this corner; a shifted corner has plain outer rings."""
    base = corner_roles(NORMAL, "left", "top", 0)
    own = corner_roles(table, horizontal, vertical, shift)
    rows = []
    for r in range(RINGS):
        row = []
        for c in range(RINGS):
            if r < shift or c < shift:
                side = "t" if r < c else "l"
                outer = table[vertical if side == "t" else horizontal][min(r, c)]
                row.append(ramp(outer, RAMP_TOP if vertical == "top" else RAMP_BOTTOM))
                continue
            side, *weights = CORNER_MIX[r - shift][c - shift]
            pixel = list(rgb(NORMAL_CORNER[r - shift][c - shift]))
            for role, weight in enumerate(weights):
                for channel in range(3):
                    pixel[channel] += weight * (own[side][role][channel] - base[side][role][channel])
            row.append(tuple(min(255, max(0, round(v))) for v in pixel))
        rows.append(row)
    return rows


def skin(table, light_ring, shift):
    inside = rgb(table["top"][RINGS - 1])
    image = [[inside] * WIDTH for _ in range(HEIGHT)]
    for ring in range(RINGS):
        for x in range(WIDTH):
            image[ring][x] = rgb(table["top"][ring])
            image[HEIGHT - 1 - ring][x] = rgb(table["bottom"][ring])
        if ring == light_ring:
            for x in LIGHT_RUN:
                image[ring][x] = rgb(LIGHT_TOP)
                image[HEIGHT - 1 - ring][x] = rgb(LIGHT_BOTTOM)
        for y in range(RINGS, HEIGHT - RINGS):
            image[y][ring] = ramp(table["left"][ring], y)
            image[y][WIDTH - 1 - ring] = ramp(table["right"][ring], y)
    for horizontal in ("left", "right"):
        for vertical in ("top", "bottom"):
            piece = corner(table, horizontal, vertical, shift)
            for r in range(RINGS):
                for c in range(RINGS):
                    y = r if vertical == "top" else HEIGHT - 1 - r
                    x = c if horizontal == "left" else WIDTH - 1 - c
                    image[y][x] = piece[r][c]
    return image


def bmp(image):
    """A bottom-up 24-bit BMP; 64 pixels of 3 bytes need no row padding."""
    body = b"".join(bytes(channel for pixel in row for channel in reversed(pixel)) for row in reversed(image))
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + header + body


def main():
    arguments = sys.argv[1:]
    check = arguments[:1] == ["--check"]
    if check:
        arguments = arguments[1:]
    if len(arguments) != 1:
        sys.exit("usage: make_button_skins.py [--check] OUTPUT_FOLDER")
    folder = arguments[0]
    os.makedirs(folder, exist_ok=True)
    stale = []
    for name, table, light_ring, shift in SKINS:
        data = bmp(skin(table, light_ring, shift))
        path = os.path.join(folder, name)
        if check:
            with open(path, "rb") as existing:
                if existing.read() != data:
                    stale.append(name)
        else:
            with open(path, "wb") as out:
                out.write(data)
    if stale:
        sys.exit("skins differ from their tables: " + ", ".join(stale))


if __name__ == "__main__":
    main()
