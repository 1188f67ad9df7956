"""What the programs and their tests share, read from the headers the
programs are built with, so that no script writes it out again: the names
(window titles, window classes, program files), the settings dialog's
layout in twips, and the settings file's section and key bytes.

    from contract import NAMES, LAYOUT, KEYS
    env.wait_window(NAMES.rendererTitle)
    LAYOUT.cancelButton.left, KEYS.musicKind (bytes)
"""

import collections
import os
import re
import types

SHARED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shared")
HEADER = os.path.join(SHARED, "contract.h")
_NAME = re.compile(r'^\s*inline constexpr char (\w+)\[\] = "([^"\\]*)";\s*$')
_BYTES = re.compile(r'^\s*inline constexpr char (\w+)\[\] = "((?:[^"\\]|\\x[0-9A-Fa-f]{2})*)";')
_BOX = re.compile(r'^\s*inline constexpr TwipsBox (\w+)\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\};')


class Box(collections.namedtuple("Box", "left top width height")):
    """A box in twips in its parent's client area."""


def read_names(path=HEADER):
    """Every `inline constexpr char name[] = "text";` line of the header."""
    with open(path, encoding="ascii") as f:
        found = dict(m.groups() for m in map(_NAME.match, f) if m)
    if not found:
        raise ValueError(f"no names in {path}")
    return types.SimpleNamespace(**found)


def _read(path, pattern, value):
    with open(path, encoding="utf-8") as f:
        found = {m.group(1): value(m) for m in map(pattern.match, f) if m}
    if not found:
        raise ValueError(f"nothing of the expected form in {path}")
    return types.SimpleNamespace(**found)


def _bytes(match):
    text = match.group(2)
    return re.sub(rb"\\x([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]), text.encode("ascii"))


NAMES = read_names()
LAYOUT = _read(os.path.join(SHARED, "dialog_layout.h"), _BOX, lambda m: Box(*map(int, m.groups()[1:])))
KEYS = _read(os.path.join(SHARED, "settings_keys.h"), _BYTES, _bytes)
