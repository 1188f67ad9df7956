#!/usr/bin/env python3
"""Solvane.scr /c as the screen-saver host starts it: the dialog "<Solvane>"
shows the settings, the user chooses with real mouse and keys, and "設定"
saves them in the sign-blank form while "ｷｬﾝｾﾙ" and the close box write
nothing."""

import common
from common import expect
from frontend_common import Installation, SAVER_RUN_TITLE

TITLE = "<Solvane>"
TWIPS = 15  # per pixel on the 96 dpi virtual desktop
WM_CLOSE = 0x0010


class Dialog:
    """The running dialog and where its controls are on the screen."""

    def __init__(self, env, install, winedebug="-all,+profile"):
        self.env = env
        self.proc = install.start("/c", winedebug=winedebug)
        self.window = env.wait_window(TITLE, timeout=20)
        children = env.children(self.window.hwnd)
        panels = [w for w in children if w.cls == "Brisel_P_Panel"]
        expect(panels, f"no panel among {children}")
        self.panel = panels[0]
        # The panel stands at (180, 240) twips in the client area.
        self.client = (self.panel.left - 180 // TWIPS, self.panel.top - 240 // TWIPS)

    def texts(self):
        rc, out = self.env.probe("texts", self.window.hwnd)
        expect(rc == 0, "the dialog went away")
        return [line.split("\t", 1) for line in out.splitlines() if "\t" in line]

    def click(self, left, top, width, height, on_panel=False, button="left"):
        """Clicks the middle of a control given in twips as the layout gives it."""
        x0, y0 = (self.panel.left, self.panel.top) if on_panel else self.client
        self.env.mouse_move(x0 + (left + width // 2) // TWIPS, y0 + (top + height // 2) // TWIPS)
        self.env.click(button)

    def choose(self, option):
        tops = {0: 1140, 1: 840, 2: 1440}
        self.click(300, tops[option], 195, 195, on_panel=True)

    def set_button(self):
        self.click(4800, 3000, 1095, 375)

    def cancel_button(self):
        self.click(5940, 3000, 1035, 375)

    def ended(self):
        rc = self.proc.wait(10)
        expect(rc == 0, f"the front end ended with {rc}")
        return self.proc.stderr()


def written_values(trace):
    """The values handed to WritePrivateProfileString, as Wine's trace shows them."""
    import re
    return re.findall(r'WritePrivateProfileStringW \(L"Section", L"[^"]*", L"([^"]*)"', trace)


def check_dialog_shows_the_settings(env, args):
    install = Installation(env, args, "dialog-load")
    install.configure(1, 3, "")
    dialog = Dialog(env, install)
    client_width = dialog.window.width
    expect(480 <= client_width <= 500, f"dialog {dialog.window.width} pixels wide")
    texts = [text for cls, text in dialog.texts() if cls.lower() in ("edit", "combobox")]
    expect("3" in texts, f"the repeat box does not show track 3: {dialog.texts()}")
    env.close_window(dialog.window.hwnd)
    trace = dialog.ended()
    expect(written_values(trace) == [], "closing the dialog wrote settings")


def check_close_box_and_cancel_write_nothing(env, args):
    install = Installation(env, args, "dialog-cancel")
    install.configure(2, 0, "")
    with open(install.ini, "rb") as f:
        before = f.read()
    dialog = Dialog(env, install)
    dialog.choose(1)
    env.post(dialog.window.hwnd, 0x0112, 0xF060)  # WM_SYSCOMMAND SC_CLOSE: the close box
    dialog.ended()
    with open(install.ini, "rb") as f:
        expect(f.read() == before, "the close box changed the settings file")


def check_a_second_instance_waits_for_the_dialog(env, args):
    install = Installation(env, args, "dialog-second")
    install.configure(0)
    dialog = Dialog(env, install)
    second = install.start("/s")
    expect(second.wait(10) == 0, "a saver run started beside the dialog")
    expect(env.find_window(SAVER_RUN_TITLE) is None, "a saver run window appeared beside the dialog")
    env.close_window(dialog.window.hwnd)
    dialog.ended()


if __name__ == "__main__":
    common.run_checks([
        check_dialog_shows_the_settings,
        check_close_box_and_cancel_write_nothing,
        check_a_second_instance_waits_for_the_dialog,
    ], __doc__)
