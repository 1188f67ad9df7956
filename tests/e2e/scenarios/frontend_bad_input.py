#!/usr/bin/env python3
"""Bad settings and bad music files get a defined answer: the saver runs,
the settings file is left as it was, and a stored path that names no file
opens nothing."""

import os
import random

import common
from common import expect, scratch_dir
from frontend_common import KEY_FILE, KEY_KIND, KEY_TRACK, SECTION_LINE, Installation, mci_commands, wait_saver_run
from renderer_common import park_cursor


def saver_run(env, install):
    """One /s run ended by a key; returns the front end's MCI commands."""
    park_cursor(env)
    proc = install.start("/s", winedebug="-all,+mci")
    wait_saver_run(env)
    common.winenv.poll(lambda: "status MP3Play mode" in mci_commands(proc) or not proc.alive(), 3,
                       what="a repeat check") if install.expect_repeat else None
    env.key("space")
    rc = proc.wait(10)
    expect(rc == 0, f"the front end ended with {rc}")
    return mci_commands(proc)


def check_random_settings_file(env, args):
    install = Installation(env, args, "random-ini")
    install.expect_repeat = False
    data = bytes(random.Random(7).randrange(256) for _ in range(4096))
    install.write_ini(data)
    commands = saver_run(env, install)
    expect(commands == [], f"random settings started music: {commands}")
    with open(install.ini, "rb") as f:
        expect(f.read() == data, "the settings file was changed")


def check_a_stored_path_with_a_double_quote_is_no_file(env, args):
    """No Windows file name holds a double quote, so such a stored path is
    dropped while loading and never reaches the MCI; the guard that keeps a
    quote out of the command is met by the fullwidth quote of
    frontend_names and by the unit tests of the narrow paths."""
    install = Installation(env, args, "quote")
    install.expect_repeat = False
    folder = scratch_dir(env, "quote")
    real = os.path.join(folder, "x.mp3")
    with open(real, "wb") as f:
        f.write(b"\xff\xfb" * 100)
    install.write_ini(SECTION_LINE + KEY_KIND + b"= 2\r\n" + KEY_TRACK + b"= 0\r\n" + KEY_FILE + b"=" +
                      env.winpath(real).encode() + b'" type waveaudio alias Evil "x.mp3\r\n')
    commands = saver_run(env, install)
    expect(not any(c.startswith("open") for c in commands), f"a path with a quote was opened: {commands}")


def bad_music_file(env, args, name, content):
    install = Installation(env, args, name)
    install.expect_repeat = True
    path = os.path.join(scratch_dir(env, name), "music.mp3")
    with open(path, "wb") as f:
        f.write(content)
    install.configure(2, 0, path)
    commands = saver_run(env, install)
    expect(commands[:1] == [f'open "{env.winpath(path)}" type MPEGVideo Alias MP3Play'], f"commands {commands}")


def check_mp3_that_is_not_audio(env, args):
    bad_music_file(env, args, "not-audio", bytes(random.Random(3).randrange(256) for _ in range(20000)))


def check_empty_music_file(env, args):
    bad_music_file(env, args, "empty-file", b"")


if __name__ == "__main__":
    common.run_checks([
        check_random_settings_file,
        check_a_stored_path_with_a_double_quote_is_no_file,
        check_mp3_that_is_not_audio,
        check_empty_music_file,
    ], __doc__)
