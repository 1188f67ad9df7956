"""What the programs and their tests share, read from the headers the
programs are built with, so that no script writes it out again: the names
(window titles, window classes, program files), the settings dialog's
layout in twips, and the settings file's section and key bytes.

    from contract import NAMES, LAYOUT, KEYS
    env.wait_window(NAMES.rendererTitle)
    LAYOUT.cancelButton.left, LAYOUT.optionMarks[0], LAYOUT.usualDpi, KEYS.musicKind (bytes)

Every `inline constexpr` line of a header is read, or the header is refused
with its file and line named: a value written in a form the harness does not
know would otherwise go missing without a word.
"""

import collections
import os
import re
import types

SHARED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shared")
HEADER = os.path.join(SHARED, "contract.h")
LAYOUT_HEADER = os.path.join(SHARED, "dialog_layout.h")
KEYS_HEADER = os.path.join(SHARED, "settings_keys.h")

_DECLARATION = re.compile(r"^\s*inline\s+constexpr\b")
_NAME = re.compile(r'^\s*inline constexpr char (\w+)\[\] = "([^"\\]*)";\s*$')
_BYTES = re.compile(r'^\s*inline constexpr char (\w+)\[\] = "((?:[^"\\]|\\x[0-9A-Fa-f]{2})*)";\s*(?://.*)?$')
_BOX = re.compile(r"^\s*inline constexpr TwipsBox (\w+)\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\};\s*$")
_BOXES = re.compile(r"^\s*inline constexpr TwipsBox (\w+)\[\] = \{(\w+(?:, \w+)*)\};\s*$")
_NUMBER = re.compile(r"^\s*inline constexpr int (\w+) = (-?\d+);\s*$")


class Box(collections.namedtuple("Box", "left top width height")):
    """A box in twips in its parent's client area."""


class UnreadableLine(ValueError):
    """A shared header holds a line the harness cannot read."""


def _read(path, forms):
    """The values of every `inline constexpr` line of the header, each read by
    the first of `forms` ((pattern, value(match, found)) pairs) that matches
    it; a line none matches is refused."""
    found = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not _DECLARATION.match(line):
                continue
            for pattern, value in forms:
                match = pattern.match(line)
                if match:
                    found[match.group(1)] = value(match, found, f"{path}:{number}")
                    break
            else:
                raise UnreadableLine(f"{path}:{number}: cannot read {line.strip()!r}")
    if not found:
        raise UnreadableLine(f"nothing of the expected form in {path}")
    return types.SimpleNamespace(**found)


def _text(match, found, where):
    return match.group(2)


def _bytes(match, found, where):
    text = match.group(2)
    return re.sub(rb"\\x([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]), text.encode("ascii"))


def _box(match, found, where):
    return Box(*map(int, match.groups()[1:]))


def _boxes(match, found, where):
    names = match.group(2).split(", ")
    unknown = [name for name in names if not isinstance(found.get(name), Box)]
    if unknown:
        raise UnreadableLine(f"{where}: no box above named {', '.join(unknown)}")
    return [found[name] for name in names]


def _number(match, found, where):
    return int(match.group(2))


def read_names(path=HEADER):
    """Every `inline constexpr char name[] = "text";` line of the header."""
    return _read(path, [(_NAME, _text)])


def read_layout(path=LAYOUT_HEADER):
    """The boxes, lists of boxes and numbers of the layout header."""
    return _read(path, [(_BOX, _box), (_BOXES, _boxes), (_NUMBER, _number)])


def read_keys(path=KEYS_HEADER):
    """The byte strings of the key header, `\\xNN` escapes decoded."""
    return _read(path, [(_BYTES, _bytes)])


NAMES = read_names()
LAYOUT = read_layout()
KEYS = read_keys()
