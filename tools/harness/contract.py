"""The names the programs and their tests share (window titles, window
classes, program files), read from the one header that both programs are
built with, so that no script writes them out again.

    from contract import NAMES
    env.wait_window(NAMES.rendererTitle)
"""

import os
import re
import types

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shared", "contract.h")
_NAME = re.compile(r'^\s*inline constexpr char (\w+)\[\] = "([^"\\]*)";\s*$')


def read_names(path=HEADER):
    """Every `inline constexpr char name[] = "text";` line of the header."""
    with open(path, encoding="ascii") as f:
        found = dict(m.groups() for m in map(_NAME.match, f) if m)
    if not found:
        raise ValueError(f"no names in {path}")
    return types.SimpleNamespace(**found)


NAMES = read_names()
