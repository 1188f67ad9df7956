#!/usr/bin/env python3
"""Solvane.scr /c as a screen reader in another process finds it: through
oleacc's AccessibleObjectFromWindow and AccessibleChildren (the probe), the
dialog "<Solvane>" and every control in it with its name, role and state,
before and after each option is chosen by its default action and while a
button is disabled; the default action of "設定" saves as a click does."""

import os

import common
from common import expect
from dialog_driver import Dialog, open_dialog, written_values
from frontend_common import KEY_FILE, KEY_KIND, KEY_TRACK, SECTION_LINE, Installation, make_tone, short_winpath
from procs import poll

CD, REPEAT = "音楽CD", "曲目をﾘﾋﾟｰﾄ"


def tree(env, dialog):
    rc, out = env.probe("accessible", dialog.window.hwnd)
    expect(rc == 0, f"the dialog gives a reader no object ({rc}): {out!r}")
    return out


def default_action(env, dialog, role, name):
    rc, out = env.probe("accessible-do", dialog.window.hwnd, role, name)
    expect(rc == 0, f"the default action of {role} {name!r} failed: {out.strip()}")


def expected_tree(path, checked, repeat, file_button, set_button="[focusable]"):
    """The dialog's tree as a reader gets it: `checked` the option chosen,
    `repeat` and `file_button` the states of the repeat box and "...",
    the track 3 in the box and the file at `path`."""
    options = {name: f'    radio button "{name}"' + (" [checked]" if name == checked else "")
               for name in (CD, "無し", "MP3、WAV")}
    return "".join(line + "\n" for line in [
        'dialog "<Solvane>"',
        '  grouping "BGM"',
        options[CD],
        f'    combo box "{REPEAT}" {repeat} = 3',
        f'      editable text "{REPEAT}" {repeat} = 3',
        f'    static text "{REPEAT}" [read only]',
        options["無し"],
        options["MP3、WAV"],
        f'    push button "..." {file_button}',
        f'    static text "{path}" [read only] = {path}',
        f'  push button "設定" {set_button}',
        '  push button "ｷｬﾝｾﾙ" [focusable]',
        '  push button "その他の作品" [focusable]',
    ])


def expect_tree(env, dialog, want, what):
    found = []

    def matches():
        found[:] = [tree(env, dialog)]
        return found[0] == want

    # The dialog handles the action from its own loop, a moment after the call.
    try:
        poll(matches, 5, what=what)
    except common.HarnessError:
        raise AssertionError(f"{what}: a reader gets\n{found[0]}instead of\n{want}") from None


def check_tree_and_options_from_another_process(env, args):
    """The file stored by its short name reads as the long one the user sees."""
    folder = os.path.join(common.scratch_dir(env, "a11y-tree"), "Long Folder Name")
    os.makedirs(folder)
    tone = make_tone(folder, "a long tune name.mp3", 1)
    path = env.winpath(tone)
    install = Installation(env, args, "a11y-tree")
    install.write_ini(SECTION_LINE + KEY_KIND + b"= 2\r\n" + KEY_TRACK + b"= 3\r\n" +
                      KEY_FILE + b"=" + short_winpath(env, tone).encode("ascii") + b"\r\n")
    dialog = Dialog(env, install)
    dialog.away()
    unavailable = "[unavailable]"
    focused = "[focused focusable]"
    # The first control that takes the focus: "...", the repeat box being off.
    expect_tree(env, dialog, expected_tree(path, "MP3、WAV", unavailable, focused), "the dialog as it opens")

    # "..." disabled while it had the focus: the focus goes to the repeat box.
    default_action(env, dialog, "radio button", CD)
    expect_tree(env, dialog, expected_tree(path, CD, focused, unavailable), "after choosing the CD")

    # Both off: the focus goes on to 設定.
    default_action(env, dialog, "radio button", "無し")
    expect_tree(env, dialog, expected_tree(path, "無し", unavailable, unavailable, focused),
                "after choosing no music")

    default_action(env, dialog, "radio button", "MP3、WAV")
    expect_tree(env, dialog, expected_tree(path, "MP3、WAV", unavailable, "[focusable]", focused),
                "after choosing the music file")
    env.close_window(dialog.window.hwnd)
    expect(written_values(dialog.ended()) == [], "choosing by default actions wrote settings")


def check_set_by_default_action_saves_as_a_click(env, args):
    """The same choices as the click scenario, made partly by a reader; the
    same values are written."""
    tone = make_tone(common.scratch_dir(env, "a11y-save"), "tune.mp3", 1)
    _, dialog = open_dialog(env, args, "a11y-save", 2, 0, tone)
    default_action(env, dialog, "radio button", CD)
    dialog.type_repeat("5")
    default_action(env, dialog, "push button", "設定")
    expect(written_values(dialog.ended()) == [" 1", " 5", env.winpath(tone)], "the saved values differ")


if __name__ == "__main__":
    common.run_checks([
        check_tree_and_options_from_another_process,
        check_set_by_default_action_saves_as_a_click,
    ], __doc__)
