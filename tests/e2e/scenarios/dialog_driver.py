"""Drives the settings dialog "<Solvane>" of a running Solvane.scr /c as a
user would: where its controls are on the screen, clicks, the repeat box,
the file chooser, the buttons' looks, and its end."""

import os
import re

import common
from common import HarnessError, expect
from contract import LAYOUT, NAMES
from frontend_common import BUTTONS, Installation
from procs import poll

TITLE = NAMES.settingsDialogTitle
TWIPS = LAYOUT.twipsPerInch // LAYOUT.usualDpi  # per pixel on the virtual desktop
FILE_CHOOSER_TITLE = "ﾌｧｲﾙを開く"
PASTE_ATTEMPTS = 4
REPEAT_ARROW = 215  # twips of the repeat box taken by its drop arrow

# Each look's third ring on the top edge, which tells the skins apart.
LOOKS = {(0xF3, 0xF3, 0xEE): "Normal", (0xFF, 0xF0, 0xCF): "HighLight", (0xCE, 0xE7, 0xFF): "Selected",
         (0x00, 0x3C, 0x74): "Pressed", (0xF5, 0xF4, 0xEA): "Disable"}


class Dialog:
    """The running dialog and where its controls are on the screen."""

    def __init__(self, env, install, winedebug="-all,+profile", extra_env=None):
        self.env = env
        self.proc = install.start("/c", winedebug=winedebug, extra_env=extra_env)
        try:
            self.window = env.wait_window(TITLE, timeout=20)
        except HarnessError as error:
            state = "still running" if self.proc.alive() else f"ended with {self.proc.wait(1)}"
            raise HarnessError(f"{error}; the front end is {state}; {self.proc.stderr()[-1500:]!r}") from error
        children = env.children(self.window.hwnd)
        panels = [w for w in children if w.cls == NAMES.settingsPanelClass]
        expect(panels, f"no panel among {children}")
        self.panel = panels[0]
        self.client = (self.panel.left - LAYOUT.panel.left // TWIPS, self.panel.top - LAYOUT.panel.top // TWIPS)

    def texts(self):
        return env_texts(self.env, self.window.hwnd)

    def point(self, left, top, width, height, on_panel=False):
        """The screen point in the middle of a control given in twips."""
        x0, y0 = (self.panel.left, self.panel.top) if on_panel else self.client
        return x0 + (left + width // 2) // TWIPS, y0 + (top + height // 2) // TWIPS

    def click(self, left, top, width, height, on_panel=False, button="left"):
        self.env.mouse_move(*self.point(left, top, width, height, on_panel))
        self.env.click(button)

    def choose(self, option, button="left", on_label=False):
        box = LAYOUT.optionLabels[option] if on_label else LAYOUT.optionMarks[option]
        self.click(*box, on_panel=True, button=button)

    def button_point(self, name):
        parent, left, top, width, height = BUTTONS[name]
        return self.point(left, top, width, height, parent == "panel")

    def press(self, name):
        self.env.mouse_move(*self.button_point(name))
        self.env.click()

    def away(self):
        """The pointer to a quiet spot of the dialog, over no control."""
        self.env.mouse_move(self.client[0] + 5, self.client[1] + 5)

    def button_windows(self):
        """The button windows by name, from their places on the screen."""
        found = {}
        for child in self.env.children(self.window.hwnd):
            if child.cls != NAMES.buttonClass:
                continue
            for name, (parent, left, top, _, _) in BUTTONS.items():
                x0, y0 = (self.panel.left, self.panel.top) if parent == "panel" else self.client
                if (child.left, child.top) == (x0 + left // TWIPS, y0 + top // TWIPS):
                    found[name] = child
        return found

    def look(self, name, image=None):
        button = self.button_windows()[name]
        image = image or self.env.capture()
        ring = image.pixel(button.left + (button.right - button.left) // 2, button.top + 2)
        return LOOKS.get(ring, f"unknown {ring}")

    def wait_look(self, name, look, timeout=5):
        poll(lambda: self.look(name) == look, timeout, what=f"the {name} button to look {look}")

    def type_repeat(self, text):
        """Replaces the repeat box's text by typing, as a user would."""
        box = LAYOUT.repeatBox
        self.click(box.left, box.top, box.width - REPEAT_ARROW, box.height, on_panel=True)  # clear of the arrow
        self.env.key("ctrl+a")
        self.env.key("BackSpace")
        for key in text:
            self.env.key(key)
        poll(lambda: self.repeat_text() == text, 5, what=f"the repeat box to read {text!r}")

    def repeat_text(self):
        return next((text for cls, text in self.texts() if cls.lower() == "edit"), None)

    def set_button(self):
        self.press("set")

    def choose_file(self, path):
        """Opens the file chooser with "..." and puts the file's Windows path
        in its name box, as a user would paste it; returns once the chooser
        has closed."""
        self.press("file")
        chooser = poll(lambda: (self.env.foreground() or (0, ""))[0] not in (0, self.window.hwnd) and
                       self.env.foreground(), 15, what="the file chooser to open")
        titles = [text for _, text in env_texts(self.env, chooser[0])[:1]]
        expect(titles == [FILE_CHOOSER_TITLE], f"the chooser is titled {titles}")
        typed = self.env.winpath(path)
        # Typed through X, letters outside the keyboard's map go through a
        # keycode that xdotool remaps for each of them, and Wine misses some
        # on a busy machine; pasted, the path arrives whole.
        clip = os.path.join(common.scratch_dir(self.env, "clipboard"), "path.txt")
        with open(clip, "w", encoding="utf-8") as f:
            f.write(typed)
        rc, _ = self.env.probe("clipboard", self.env.winpath(clip))
        expect(rc == 0, f"the probe could not put the path on the clipboard ({rc})")
        texts = []

        def holds_path():
            texts[:] = [text for _, text in env_texts(self.env, chooser[0])]
            return typed in texts

        for _ in range(PASTE_ATTEMPTS):
            self.env.key("ctrl+a")
            self.env.key("ctrl+v")
            try:
                poll(holds_path, 3, what="the chooser's name box to hold the pasted path")
                break
            except common.HarnessError:
                print(f"     the chooser holds {texts}; pasting again", flush=True)
        else:
            raise common.HarnessError(f"the chooser never held {typed!r}: {texts}")
        self.env.key("Return")
        poll(lambda: (self.env.foreground() or (0, ""))[0] == self.window.hwnd, 15, what="the chooser to close")

    def cancel_button(self):
        self.press("cancel")

    def ended(self):
        rc = self.proc.wait(10)
        expect(rc == 0, f"the front end ended with {rc}")
        return self.proc.stderr()


def open_dialog(env, args, name, kind, track=0, music_file="", **options):
    """A fresh installation with these settings, and its dialog open."""
    install = Installation(env, args, name)
    install.configure(kind, track, music_file)
    return install, Dialog(env, install, **options)


def written_values(trace):
    """The values handed to WritePrivateProfileString, as Wine's trace shows them."""
    values = re.findall(r'WritePrivateProfileStringW \(L"Section", L"[^"]*", L"((?:[^"\\]|\\.)*)"', trace)
    return [value.replace("\\\\", "\\") for value in values]


def env_texts(env, hwnd):
    rc, out = env.probe("texts", hwnd)
    expect(rc == 0, f"window {hwnd} went away")
    return [line.split("\t", 1) for line in out.splitlines() if "\t" in line]
