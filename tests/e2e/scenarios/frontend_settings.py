#!/usr/bin/env python3
"""Solvane.scr /c as the screen-saver host starts it: the dialog "<Solvane>"
shows the settings in its layout and look, the user chooses with real mouse
and keys (options, repeat box, file chooser, the skinned buttons' hover,
press and drag-off), "設定" saves in the sign-blank form while "ｷｬﾝｾﾙ" and
the close box write nothing, and the next saver run plays what was chosen."""

import os

import common
from common import expect
from contract import LAYOUT
from dialog_driver import TITLE, TWIPS, Dialog, open_dialog, written_values
from frontend_common import BUTTONS, KEY_TRACK, SAVER_RUN_TITLE, Installation, make_tone
from frontend_saver_run import Run
from procs import poll


def check_dialog_shows_the_settings(env, args):
    _, dialog = open_dialog(env, args, "dialog-load", 1, 3, "")
    client_width = dialog.window.width
    expect(480 <= client_width <= 500, f"dialog {dialog.window.width} pixels wide")
    texts = [text for cls, text in dialog.texts() if cls.lower() in ("edit", "combobox")]
    expect("3" in texts, f"the repeat box does not show track 3: {dialog.texts()}")
    env.close_window(dialog.window.hwnd)
    trace = dialog.ended()
    expect(written_values(trace) == [], "closing the dialog wrote settings")


def check_japanese_texts_whatever_the_code_page(env, args):
    """The dialog reads the same on a Japanese system (code page 932) as on
    one with another code page, and saves under the same key bytes."""
    install = Installation(env, args, "dialog-codepage")
    pictures = []
    for extra_env in (None, {"LC_ALL": "ja_JP.UTF-8"}):
        install.configure(1, 3, "")
        dialog = Dialog(env, install, extra_env=extra_env)
        dialog.away()
        dialog.wait_look("set", "Normal")
        image = env.capture()
        x0, y0 = dialog.client
        pictures.append([image.pixel(x, y) for y in range(y0, y0 + LAYOUT.dialogClient.height // TWIPS)
                         for x in range(x0, x0 + LAYOUT.dialogClient.width // TWIPS)])
        dialog.choose(1)
        dialog.type_repeat("7")
        dialog.set_button()
        dialog.ended()
        with open(install.ini, "rb") as f:
            expect(KEY_TRACK + b"=7\r\n" in f.read(), f"track 7 is not under its key with {extra_env}")
    # The repeat box holds the blinking caret; everything else must match.
    width = LAYOUT.dialogClient.width // TWIPS
    panel, box = LAYOUT.panel, LAYOUT.repeatBox
    combo = ((panel.left + box.left) // TWIPS, (panel.top + box.top) // TWIPS,
             (panel.left + box.left + box.width) // TWIPS, (panel.top + box.top + box.height) // TWIPS + 2)
    differing = [(x, y) for x, y in ((i % width, i // width) for i, (a, b) in enumerate(zip(*pictures)) if a != b)
                 if not (combo[0] <= x < combo[2] and combo[1] <= y < combo[3])]
    expect(not differing, f"pixels of the dialog differ between the code pages: {differing[:10]}")


def expect_closing_writes_nothing(env, args, name, close):
    """A choice made, then the dialog closed by `close(dialog)`: the program
    ends and the settings file stays as it was."""
    install = Installation(env, args, name)
    install.configure(2, 0, "")
    with open(install.ini, "rb") as f:
        before = f.read()
    dialog = Dialog(env, install)
    dialog.choose(1)
    close(dialog)
    env.wait_window_gone(TITLE, timeout=10)
    expect(written_values(dialog.ended()) == [], f"{name} wrote settings")
    with open(install.ini, "rb") as f:
        expect(f.read() == before, f"{name} changed the settings file")


def check_close_box_and_cancel_write_nothing(env, args):
    def close_box(dialog):
        env.post(dialog.window.hwnd, 0x0112, 0xF060)  # WM_SYSCOMMAND SC_CLOSE
    expect_closing_writes_nothing(env, args, "dialog-cancel", close_box)


def check_escape_closes_like_cancel(env, args):
    """A real Escape key, here with the focus in the repeat box after typing."""
    def escape(dialog):
        dialog.type_repeat("9")
        env.key("Escape")
    expect_closing_writes_nothing(env, args, "dialog-escape", escape)


def mark_selected(image, dialog, option):
    """Whether the option's mark shows the selected picture (a red dot)."""
    mark = LAYOUT.optionMarks[option]
    r, g, b = image.pixel(dialog.panel.left + (mark.left + mark.width // 2) // TWIPS,
                          dialog.panel.top + (mark.top + mark.height // 2) // TWIPS)
    return r > g + 60 and r > b + 60


def check_layout_arches_and_options(env, args):
    _, dialog = open_dialog(env, args, "dialog-layout", 1, 3, "")
    dialog.away()
    buttons = dialog.button_windows()
    expect(sorted(buttons) == sorted(BUTTONS), f"buttons not where the layout puts them: {buttons}")
    for name, (_, _, _, width, height) in BUTTONS.items():
        button = buttons[name]
        size = (button.right - button.left, button.bottom - button.top)
        expect(size == (width // TWIPS, height // TWIPS), f"the {name} button is {size} pixels")
    image = env.capture()
    x, y = dialog.client
    rows = LAYOUT.dialogClient.height // TWIPS
    expect(image.pixel(x + 5, y) == (0, 0, 30), f"first row {image.pixel(x + 5, y)}")
    middle = image.pixel(x + 5, y + rows // 2)
    expect(middle == (220, 220, 250), f"middle row {middle}")
    last = image.pixel(x + 5, y + rows - 1)
    expect(last[2] == last[0] + 30 and last[0] <= 3, f"last row {last}")
    edge = image.pixel(dialog.panel.left + 5, dialog.panel.top)
    expect(edge == (30, 30, 30), f"panel's first row {edge}")
    expect([mark_selected(image, dialog, i) for i in range(3)] == [False, True, False], "the CD mark is not the one chosen")
    looks = {name: dialog.look(name, image) for name in BUTTONS}
    expect(looks == {"cancel": "Normal", "set": "Normal", "file": "Disable", "works": "Normal"}, f"looks {looks}")
    env.screenshot(os.path.join(common.scratch_dir(env, "dialog-layout"), "dialog.png"))

    # The right button on the label chooses like the left one on the mark;
    # the repeat box loses the focus with its option, and "..." takes it.
    dialog.choose(2, button="right", on_label=True)
    dialog.wait_look("file", "Selected")
    image = env.capture()
    expect([mark_selected(image, dialog, i) for i in range(3)] == [False, False, True], "the file mark is not chosen")
    dialog.cancel_button()
    expect(written_values(dialog.ended()) == [], "cancel wrote settings")


def check_clicks_save_in_the_sign_blank_form(env, args):
    tone = make_tone(common.scratch_dir(env, "dialog-save"), "tune.mp3", 1)
    install, dialog = open_dialog(env, args, "dialog-save", 2, 0, tone)
    expect(dialog.repeat_text() == "", f"track 0 shows {dialog.repeat_text()!r}")
    dialog.choose(1)
    dialog.type_repeat("5")
    dialog.set_button()
    expect(written_values(dialog.ended()) == [" 1", " 5", env.winpath(tone)], "the saved values differ")
    with open(install.ini, "rb") as f:
        expect(KEY_TRACK + b"=5\r\n" in f.read(), "track 5 is not under its code-page-932 key")


def check_letters_and_no_music_save_zero_and_keep_the_path(env, args):
    tone = make_tone(common.scratch_dir(env, "dialog-letters"), "kept.mp3", 1)
    _, dialog = open_dialog(env, args, "dialog-letters", 2, 4, tone)
    dialog.choose(1, button="right", on_label=True)
    dialog.type_repeat("ab")
    dialog.choose(0)
    dialog.set_button()
    expect(written_values(dialog.ended()) == [" 0", " 0", env.winpath(tone)],
           "letters or the no-music option changed what was saved")


def check_unknown_kind_is_kept(env, args):
    _, dialog = open_dialog(env, args, "dialog-kind7", 7, 0, "")
    dialog.away()
    image = env.capture()
    expect(not any(mark_selected(image, dialog, i) for i in range(3)), "a mark is chosen for kind 7")
    expect(dialog.look("file", image) == "Disable", "\"...\" is enabled for kind 7")
    expect(dialog.repeat_text() == "", "track 0 shows a number")
    dialog.set_button()
    expect(written_values(dialog.ended()) == [" 7", " 0", ""], "kind 7 was not saved back")


def check_file_chooser_returns_the_path(env, args):
    folder = common.scratch_dir(env, "dialog-chooser")
    first = make_tone(folder, "first.mp3", 1)
    chosen = make_tone(folder, "chosen-tune.wav", 3)
    install, dialog = open_dialog(env, args, "dialog-chooser", 2, 0, first)
    dialog.away()
    label = LAYOUT.fileLabel
    x0, y0 = dialog.panel.left + label.left // TWIPS + 2, dialog.panel.top + label.top // TWIPS + 2

    def label_pixels():
        image = env.capture()
        return [image.pixel(x, y) for y in range(y0, y0 + label.height // TWIPS - 4)
                for x in range(x0, x0 + label.width // TWIPS - 4)]

    shown_first = label_pixels()
    dialog.choose_file(chosen)
    poll(lambda: label_pixels() != shown_first, 5, what="the label to show the chosen path")
    dialog.set_button()
    expect(written_values(dialog.ended()) == [" 2", " 0", env.winpath(chosen)], "the chosen path was not saved")

    # What the user chose is what the next saver run plays.
    run = Run(env, install, "/s")
    run.play_for(2)
    run.end_with_key()
    level = run.sound.level(run.renderer_up + 0.5, run.renderer_up + 1.8)
    expect(level > 0.05, f"the chosen file is not heard in the saver run (level {level:.3f})")


def check_hover_drag_off_and_the_makers_page(env, args):
    install = Installation(env, args, "dialog-hover")
    install.configure(0)
    with open(install.ini, "rb") as f:
        before = f.read()
    dialog = Dialog(env, install, winedebug="-all,+profile,+exec")
    dialog.away()
    dialog.wait_look("set", "Selected")  # the first control that takes the focus
    env.mouse_move(*dialog.button_point("works"))
    dialog.wait_look("works", "HighLight")
    dialog.away()
    dialog.wait_look("works", "Normal")  # the hover timer notices the leave

    # Pressing and dragging off cancels: no save, the dialog stays.
    env.mouse_move(*dialog.button_point("set"))
    env.button_down()
    dialog.wait_look("set", "Pressed")
    dialog.away()
    dialog.wait_look("set", "Selected")
    env.button_up()
    dialog.press("works")
    poll(lambda: "solvane.example/works/" in dialog.proc.stderr(), 10, what="the maker's page to be opened")
    expect(env.find_window(TITLE) is not None, "the dialog closed after the drag-off or the maker's page")
    expect(dialog.look("works") in ("HighLight", "Pressed"), "the clicked button lost its look")
    env.close_window(dialog.window.hwnd)
    trace = dialog.ended()
    expect('ShellExecuteA' in trace and '"open","https://www.solvane.example/works/","","",1' in trace,
           "the maker's page was not opened as it should be")
    expect(written_values(trace) == [], "the dragged-off 設定 saved")
    with open(install.ini, "rb") as f:
        expect(f.read() == before, "the settings file changed")


def check_a_second_instance_waits_for_the_dialog(env, args):
    install, dialog = open_dialog(env, args, "dialog-second", 0)
    second = install.start("/s")
    expect(second.wait(10) == 0, "a saver run started beside the dialog")
    expect(env.find_window(SAVER_RUN_TITLE) is None, "a saver run window appeared beside the dialog")
    env.close_window(dialog.window.hwnd)
    dialog.ended()


if __name__ == "__main__":
    common.run_checks([
        check_dialog_shows_the_settings,
        check_layout_arches_and_options,
        check_clicks_save_in_the_sign_blank_form,
        check_letters_and_no_music_save_zero_and_keep_the_path,
        check_unknown_kind_is_kept,
        check_file_chooser_returns_the_path,
        check_hover_drag_off_and_the_makers_page,
        check_japanese_texts_whatever_the_code_page,
        check_close_box_and_cancel_write_nothing,
        check_escape_closes_like_cancel,
        check_a_second_instance_waits_for_the_dialog,
    ], __doc__)
