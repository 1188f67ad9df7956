#!/usr/bin/env python3
"""The settings dialog at 96, 120 and 144 dots per inch (Wine's LogPixels,
set before the program starts): the window, the panel and the buttons, the
option marks and the button skins' frames all keep their proportions, each
measured from the screen. The screenshots of each setting are kept and their
paths printed; 96 dpi is restored afterwards."""

import contextlib
import os

import common
from common import expect
from contract import LAYOUT, NAMES
from frontend_common import BUTTONS, Installation
from dialog_driver import Dialog
from procs import poll

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
CLOSE = 3  # channel difference still counted as the same colour


@contextlib.contextmanager
def screen_dpi(env, dpi):
    """Programs started inside see `dpi` logical pixels per inch."""
    env.reg_add(DESKTOP_KEY, "LogPixels", dpi, "REG_DWORD")
    try:
        yield LAYOUT.twipsPerInch / dpi
    finally:
        env.reg_add(DESKTOP_KEY, "LogPixels", LAYOUT.usualDpi, "REG_DWORD")


def pixels(twips, per_pixel):
    """Twips to whole pixels, halves rounded up as the forms layer does."""
    return int(twips / per_pixel + 0.5)


def same(a, b):
    return max(abs(x - y) for x, y in zip(a, b)) <= CLOSE


def mark_extent(image, panel, option, per_pixel):
    """Where the mark differs from the panel's rows (each row is one grey):
    its left, top, width and height in panel pixels."""
    left, top = (pixels(v, per_pixel) for v in LAYOUT.optionMarks[option][:2])
    box = pixels(LAYOUT.optionMarks[option].width, per_pixel)
    inked = [(x, y) for y in range(top, top + box) for x in range(left, left + box)
             if not same(image.pixel(panel.left + x, panel.top + y), image.pixel(panel.left + 2, panel.top + y))]
    expect(inked, f"no mark of option {option} in its box")
    xs, ys = [x for x, _ in inked], [y for _, y in inked]
    return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def skin_frame(image, button):
    """The skin's frame on each side of a button (left, top, right, bottom),
    in pixels: how far in from each edge the face differs from its gradient,
    which is the same across a row and linear down the face."""
    w, h = button.right - button.left, button.bottom - button.top
    column = button.left + w // 7  # clear of the frame and of the centred caption
    at = lambda x, y: image.pixel(button.left + x, button.top + y)  # noqa: E731
    r1, r2 = h // 3, 2 * h // 3
    c1, c2 = image.pixel(column, button.top + r1), image.pixel(column, button.top + r2)
    gradient = lambda y: [a + (b - a) * (y - r1) / (r2 - r1) for a, b in zip(c1, c2)]  # noqa: E731
    middle = h // 2
    row_colour = image.pixel(column, button.top + middle)
    left = next(x for x in range(w) if same(at(x, middle), row_colour))
    right = next(x for x in range(w) if same(at(w - 1 - x, middle), row_colour))
    top = next(y for y in range(h) if same(image.pixel(column, button.top + y), gradient(y)))
    bottom = next(y for y in range(h) if same(image.pixel(column, button.top + h - 1 - y), gradient(h - 1 - y)))
    return left, top, right, bottom


def painted(image, button):
    """The image once the button shows its face, not the dialog's arch (blue 30 above red)."""
    r, g, b = image.pixel(button.left + (button.right - button.left) // 7, (button.top + button.bottom) // 2)
    return image if not (r == g and b - r == 30) else None


def check_every_part_keeps_its_proportions(env, args):
    shots = []
    install = Installation(env, args, "dialog-dpi")
    for dpi in (96, 120, 144):
        with screen_dpi(env, dpi) as per_pixel:
            install.configure(1, 3, "")
            dialog = Dialog(env, install)
            panel = dialog.panel
            client = (panel.left - pixels(LAYOUT.panel.left, per_pixel),
                      panel.top - pixels(LAYOUT.panel.top, per_pixel))
            env.mouse_move(client[0] + 3, client[1] + 3)
            size = (panel.right - panel.left, panel.bottom - panel.top)
            expect(size == (pixels(LAYOUT.panel.width, per_pixel), pixels(LAYOUT.panel.height, per_pixel)),
                   f"at {dpi} dpi the panel is {size}")

            buttons = {}
            for child in env.children(dialog.window.hwnd):
                for name, (parent, left, top, width, height) in BUTTONS.items():
                    x0, y0 = (panel.left, panel.top) if parent == "panel" else client
                    if child.cls == NAMES.buttonClass and (child.left, child.top) == (
                            x0 + pixels(left, per_pixel), y0 + pixels(top, per_pixel)):
                        buttons[name] = child
                        found = (child.right - child.left, child.bottom - child.top)
                        expect(found == (pixels(width, per_pixel), pixels(height, per_pixel)),
                               f"at {dpi} dpi the {name} button is {found}")
            expect(sorted(buttons) == sorted(BUTTONS), f"at {dpi} dpi the buttons found are {sorted(buttons)}")

            image = poll(lambda: painted(env.capture(), buttons["cancel"]), 10, what=f"the dialog painted at {dpi} dpi")
            mark = pixels(LAYOUT.optionMarkSize, per_pixel)
            for option, (left, top, _, _) in enumerate(LAYOUT.optionMarks):
                extent = mark_extent(image, panel, option, per_pixel)
                expect(extent == (pixels(left, per_pixel), pixels(top, per_pixel), mark, mark),
                       f"at {dpi} dpi the mark of option {option} is {extent}")
            frame = pixels(LAYOUT.skinFrame, per_pixel)
            for name in ("cancel", "set", "works"):
                found = skin_frame(image, buttons[name])
                expect(found == (frame,) * 4, f"at {dpi} dpi the {name} button's frame is {found}")
            print(f"{dpi} dpi: panel {size}, marks {mark} x {mark}, skin frames {frame} px", flush=True)

            shot = os.path.join(common.scratch_dir(env, "dialog-dpi"), f"dialog-{dpi}dpi.png")
            shots.append(env.screenshot(shot))
            env.close_window(dialog.window.hwnd)
            dialog.ended()
    print("screenshots:", *shots, sep="\n  ", flush=True)


if __name__ == "__main__":
    common.run_checks([check_every_part_keeps_its_proportions], __doc__)
