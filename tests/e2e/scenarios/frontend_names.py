#!/usr/bin/env python3
"""Solvane where users keep it, under code page 1252 and under 932: the
programs in a folder named with Polish and Cyrillic letters and a blank read
and save their settings; a music file in a folder named in Japanese, chosen
through the real file chooser, is saved by a name that reaches the file and
heard in the next run; a file name with a fullwidth quote plays through a
form that names it, or is refused, and never breaks the MCI command."""

import os

import common
from common import expect, scratch_dir
from frontend_common import KEY_FILE, KEY_KIND, KEY_TRACK, SECTION_LINE, Installation, make_tone, short_winpath
from frontend_saver_run import Run
from dialog_driver import Dialog

CODE_PAGES = {"1252": None, "932": {"LC_ALL": "ja_JP.UTF-8"}}
FOLDER = "Łódź Музыка"  # no code page writes both
HEARD = 0.05


def heard(run, seconds):
    """Mean level while the renderer runs, past the music's first start."""
    return run.sound.level(run.renderer_up + 0.8, run.renderer_up + seconds)


def check_a_saver_run_plays_the_music_of_its_settings(env, args):
    tones = scratch_dir(env, "names-tones")
    for code_page, locale in CODE_PAGES.items():
        install = Installation(env, args, f"{FOLDER} run {code_page}")
        for name, frequency in (("tone.mp3", 440), ("tone.wav", 660)):
            install.configure(2, 0, make_tone(tones, name, 3, frequency=frequency))
            run = Run(env, install, "/s", extra_env=locale)
            run.play_for(2.5)
            run.end_with_key()
            level = heard(run, 2.4)
            print(f"     code page {code_page}, {name}: level {level:.3f}", flush=True)
            expect(level > HEARD, f"{name} is not heard from {install.folder} under code page {code_page}")


def check_the_dialog_saves_and_the_file_reads_back(env, args):
    for code_page, locale in CODE_PAGES.items():
        install = Installation(env, args, f"{FOLDER} dialog {code_page}")
        install.configure(0)
        dialog = Dialog(env, install, extra_env=locale)
        dialog.choose(1)
        dialog.type_repeat("7")
        dialog.set_button()
        dialog.ended()  # a save that failed would have kept the dialog open
        with open(install.ini, "rb") as f:
            saved = f.read()
        expected = SECTION_LINE + KEY_KIND + b"=1\r\n" + KEY_TRACK + b"=7\r\n" + KEY_FILE + b"=\r\n"
        expect(saved == expected, f"under code page {code_page} the file holds {saved!r}")


def check_music_from_a_japanese_folder_is_chosen_saved_and_heard(env, args):
    folder = os.path.join(scratch_dir(env, "names-chooser"), "音楽 フォルダー")
    os.makedirs(folder, exist_ok=True)
    tone = make_tone(folder, "夜の曲.wav", 3, frequency=660)
    install = Installation(env, args, "names-chooser")
    install.configure(0)
    dialog = Dialog(env, install)
    dialog.choose(2)
    dialog.choose_file(tone)
    dialog.set_button()
    dialog.ended()
    with open(install.ini, "rb") as f:
        saved = f.read()
    stored = short_winpath(env, tone).encode("ascii")
    expect(KEY_FILE + b"=" + stored + b"\r\n" in saved, f"the file holds {saved!r}, not {stored!r}")

    run = Run(env, install, "/s")
    run.play_for(2.5)
    run.end_with_key()
    expect(heard(run, 2.4) > HEARD, "the chosen file is not heard in the next saver run")


def check_a_fullwidth_quote_never_breaks_the_command(env, args):
    """Best fit would make the fullwidth quote a plain one and end the path
    inside the MCI command; the file is chosen, saved and played by a form
    that names it: its long name where the code page has the character (932),
    its short name where not (1252)."""
    for code_page, locale in CODE_PAGES.items():
        tone = make_tone(scratch_dir(env, f"names-quote-{code_page}"), "say \uff02hello\uff02.mp3", 3)
        install = Installation(env, args, f"names-quote-{code_page}")
        install.configure(0)
        dialog = Dialog(env, install, extra_env=locale)
        dialog.choose(2)
        dialog.choose_file(tone)
        dialog.set_button()
        dialog.ended()
        run = Run(env, install, "/s", extra_env=locale)
        run.play_for(2.5)
        run.end_with_key()
        opens = [c for c in run.commands if c.startswith("open ")]
        level = heard(run, 2.4)
        print(f"     code page {code_page}: {opens}, level {level:.3f}", flush=True)
        # Wine's trace writes the fullwidth quote as \ff02.
        path = env.winpath(tone).replace("\uff02", "\\ff02") if code_page == "932" else short_winpath(env, tone)
        expect(opens == [f'open "{path}" type MPEGVideo Alias MP3Play'], f"under code page {code_page}: {opens}")
        expect(level > HEARD, f"the file is not heard under code page {code_page}")


if __name__ == "__main__":
    common.run_checks([
        check_a_saver_run_plays_the_music_of_its_settings,
        check_the_dialog_saves_and_the_file_reads_back,
        check_music_from_a_japanese_folder_is_chosen_saved_and_heard,
        check_a_fullwidth_quote_never_breaks_the_command,
    ], __doc__)
