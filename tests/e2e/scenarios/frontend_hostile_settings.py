#!/usr/bin/env python3
"""Hostile settings files under Solvane.scr: 5 MB of random bytes, a 1 MB
line, a key repeated 1000 times, a folder in the file's place and a file
that another program holds open for writing. /s still runs and ends with a
defined music choice, /c still opens, and "設定" either saves or tells the
user why it could not; nothing crashes and nothing else on disk changes."""

import hashlib
import os
import random

import common
from common import expect, scratch_dir
from contract import NAMES
from frontend_common import KEY_FILE, KEY_KIND, KEY_TRACK, Installation, make_tone, mci_commands, wait_saver_run
from dialog_driver import Dialog
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

MESSAGE_TITLE = NAMES.messageTitle
WM_COMMAND = 0x0111
IDOK = 1
CD_START = ["open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"]


def snapshot(folder):
    """Every file and folder under `folder` with a digest of its bytes."""
    found = {}
    for base, folders, files in os.walk(folder):
        for name in folders:
            found[os.path.relpath(os.path.join(base, name), folder)] = "folder"
        for name in files:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return found


def opened(path):
    return [f'open "{common.winenv.windows_path(path)}" type MPEGVideo Alias MP3Play']


def saver_run(env, install):
    """/s ended by a key: the front end's MCI commands up to the first repeat."""
    park_cursor(env)
    proc = install.start("/s", winedebug="-all,+mci")
    wait_saver_run(env)
    env.key("space")
    rc = proc.wait(15)
    expect(rc == 0, f"the saver run ended with {rc}")
    env.wait_window_gone(RENDERER_TITLE, timeout=10)
    # Wine's winmm opens a CD it cannot find with a command of its own.
    return [c for c in mci_commands(proc) if c != "open cdaudio wait" and not c.startswith(("stop", "close"))]


def settings_run(env, install, extra_env=None):
    """/c, then 設定: returns the text of the message box it showed, or None
    when it saved and closed. A told failure leaves the dialog open; it is
    then cancelled."""
    dialog = Dialog(env, install, winedebug="-all", extra_env=extra_env)
    dialog.set_button()
    told = None
    ended = common.winenv.poll(lambda: not dialog.proc.alive() or env.find_window(MESSAGE_TITLE), 20,
                               what="the dialog to save or tell why it could not")
    if dialog.proc.alive():
        box = env.find_window(MESSAGE_TITLE)
        rc, out = env.probe("texts", box.hwnd)
        expect(rc == 0, "the message box went away")
        told = out
        env.post(box.hwnd, WM_COMMAND, IDOK)
        env.wait_window_gone(MESSAGE_TITLE, timeout=10)
        expect(env.find_window(NAMES.settingsDialogTitle) is not None, "the dialog closed after a failed save")
        dialog.cancel_button()
    expect(ended is not None, "nothing happened on 設定")
    dialog.ended()
    return told


def hostile(env, args, name, prepare, saves, extra_env=None):
    """Runs /s and /c against the settings that `prepare` leaves. It returns
    the MCI commands the saver run must start with, and any process it
    started to hold the file."""
    install = Installation(env, args, name)
    music, holder = prepare(install)
    root = os.path.dirname(install.folder)
    before = snapshot(root)
    commands = saver_run(env, install)
    expect(commands[:len(music)] == music and (music or not commands), f"{name}: music commands {commands}")
    expect(snapshot(root) == before, f"{name}: the saver run changed files")

    told = settings_run(env, install, extra_env)
    after = snapshot(root)
    changed = {path for path in before.keys() | after.keys() if before.get(path) != after.get(path)}
    if saves:
        expect(told is None, f"{name}: saving was refused: {told}")
        expect(changed <= {os.path.join("Solvane", "Solvane.ini")}, f"{name}: files changed: {changed}")
        with open(install.ini, "rb") as f:
            stored = f.read()
        expect(b"[Section]" in stored and all(key + b"=" in stored for key in (KEY_KIND, KEY_TRACK, KEY_FILE)),
               f"{name}: the three keys were not saved")
    else:
        expect(told is not None, f"{name}: a save that cannot reach the file closed the dialog silently")
        expect("設定を保存できませんでした" in told and common.winenv.windows_path(install.ini) in told,
               f"{name}: the message does not name the failure and the file: {told}")
        expect(not changed, f"{name}: files changed although nothing was saved: {changed}")
    if holder is not None:
        holder.kill()
    reason = next((line for line in (told or "").splitlines() if line.startswith("理由")), "")
    outcome = "saved" if saves else f"told: {reason}"
    print(f"     {name}: music {commands[:1] or 'none'}; {outcome}")


def check_five_megabytes_of_random_bytes(env, args):
    def prepare(install):
        install.write_ini(random.Random(14).randbytes(5 * 1024 * 1024))
        return [], None
    hostile(env, args, "random-5mb", prepare, saves=True)


def check_a_one_megabyte_line(env, args):
    def prepare(install):
        install.write_ini(b"[Section]\r\n" + KEY_KIND + b"= 1\r\n" + KEY_TRACK + b"= 2\r\n" + KEY_FILE +
                          b"=C:\\" + b"a" * (1024 * 1024) + b".mp3\r\n")
        # The path comes back cut, fails the file test and is dropped; the CD stays.
        return CD_START, None
    hostile(env, args, "line-1mb", prepare, saves=True)


def check_a_key_repeated_a_thousand_times(env, args):
    def prepare(install):
        tone = make_tone(scratch_dir(env, "repeated-tone"), "first.mp3", 0.5)
        lines = [b"[Section]", KEY_KIND + b"= 2", KEY_FILE + b"=" + common.winenv.windows_path(tone).encode()]
        lines += [KEY_FILE + f"=C:\\other{i}.mp3".encode() for i in range(999)]
        install.write_ini(b"\r\n".join(lines) + b"\r\n")
        # The first of the repeated keys counts, as the profile functions read it.
        return opened(tone), None
    hostile(env, args, "repeated-key", prepare, saves=True)


def check_a_folder_in_the_files_place(env, args):
    def prepare(install):
        os.makedirs(install.ini)
        with open(os.path.join(install.ini, "inside.txt"), "wb") as f:
            f.write(b"kept")
        return [], None
    hostile(env, args, "folder", prepare, saves=False)


def check_a_file_held_open_for_writing(env, args):
    """Another program has the file open for writing and shares it for
    reading only; the dialog runs on a Japanese system here."""
    def prepare(install):
        tone = make_tone(scratch_dir(env, "held-tone"), "held.mp3", 0.5)
        install.configure(2, 0, tone)
        holder = env.start(env.probe_exe, ["hold-file", common.winenv.windows_path(install.ini), 600000])
        holder.wait_output("held", 30)
        return opened(tone), holder
    hostile(env, args, "held", prepare, saves=False, extra_env={"LC_ALL": "ja_JP.UTF-8"})


if __name__ == "__main__":
    common.run_checks([
        check_five_megabytes_of_random_bytes,
        check_a_one_megabyte_line,
        check_a_key_repeated_a_thousand_times,
        check_a_folder_in_the_files_place,
        check_a_file_held_open_for_writing,
    ], __doc__)
