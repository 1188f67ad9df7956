#!/usr/bin/env python3
"""The 64-bit installer and its uninstaller, run silently as a user
or a deployment tool would: the files land in the chosen folder, the program
list entry, the active screen saver and the Start-menu way back to Solvane
are set, the installed saver runs, and uninstalling removes what was
installed, keeps the settings unless asked, and puts back the screen saver
and its on/off state found at install only while the active saver is still
this Solvane; /KEEPSAVER leaves them alone."""

import os

import common
from common import expect
from contract import NAMES
from frontend_common import wait_saver_run
from release_common import (ACTIVE_VALUE, DESKTOP_KEY, INSTALLED, KEEP_SAVER, OTHER_SAVER, SAVER_VALUE, SETTINGS,
                            UNINSTALL_KEY, DesktopSettings, Installed, add_release_arguments, expect_no_shortcuts,
                            expect_shortcuts, install, reg_query, reg_text, setup_program, short_form,
                            windows_file)
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor


def write_settings(installed):
    with open(installed.file("Solvane.ini"), "wb") as f:
        f.write(SETTINGS)


def check_silent_install_places_files_entry_and_active_saver(env, args):
    with DesktopSettings(env):
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, OTHER_SAVER)
        installed = install(env, args, "fresh")
        expect(installed.files() == INSTALLED, f"installed files {installed.files()}, expected {INSTALLED}")

        entry = {name: reg_query(env, UNINSTALL_KEY, name) for name in (
            "DisplayName", "DisplayVersion", "Publisher", "InstallLocation", "DisplayIcon", "UninstallString",
            "QuietUninstallString", "NoModify", "NoRepair", "EstimatedSize")}
        missing = [name for name, value in entry.items() if value is None]
        expect(not missing, f"the program entry lacks {missing}")
        text = {name: value[1] for name, value in entry.items()}
        expect(text["DisplayName"] == "Solvane" and text["Publisher"] == "Solvane", f"entry {text}")
        expect(text["DisplayVersion"] == args.version, f"DisplayVersion {text['DisplayVersion']!r}")
        expect(text["InstallLocation"].lower() == installed.folder.lower(), f"InstallLocation {text['InstallLocation']!r}")
        uninstaller = installed.folder + r"\Uninstall.exe"
        expect(text["UninstallString"].lower() == f'"{uninstaller}"'.lower(), f"UninstallString {text['UninstallString']!r}")
        expect(text["QuietUninstallString"].lower() == f'"{uninstaller}" /s'.lower(), f"QuietUninstallString {text['QuietUninstallString']!r}")
        icon = installed.folder + "\\" + NAMES.frontendFile + ",0"
        expect(text["DisplayIcon"].lower() == icon.lower(), f"DisplayIcon {text['DisplayIcon']!r}")
        for flag in ("NoModify", "NoRepair"):
            expect(entry[flag][0] == "REG_DWORD" and int(text[flag], 16) == 1, f"{flag} is {entry[flag]}")
        size = sum(os.path.getsize(installed.file(name)) for name in INSTALLED) / 1024
        reported = int(text["EstimatedSize"], 16)
        expect(entry["EstimatedSize"][0] == "REG_DWORD" and abs(reported - size) <= 8,
               f"EstimatedSize {reported} KB, the files take {size:.0f} KB")

        saver = reg_text(env, DESKTOP_KEY, SAVER_VALUE)
        expect(saver is not None and os.path.samefile(windows_file(env, saver), installed.file(NAMES.frontendFile)),
               f"the active screen saver is {saver!r}, not the installed Solvane.scr")
        short = short_form(env, installed.scr)
        expect(saver == short, f"the active screen saver is {saver!r}, not the short path {short!r}")
        expect(reg_text(env, DESKTOP_KEY, ACTIVE_VALUE) == "1", "screen savers were not switched on")
        expect_shortcuts(env, installed, "cp1252")

        # Started as the system starts the active screen saver.
        park_cursor(env)
        frontend = env.start(saver, ["/s"])
        wait_saver_run(env)
        env.key("space")
        rc = frontend.wait(10)
        expect(rc == 0, f"the installed front end ended with {rc}")
        env.wait_window_gone(RENDERER_TITLE, timeout=10)
        installed.uninstall()
        expect_no_shortcuts(env)
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) == OTHER_SAVER,
               f"the saver active before installing was not put back: {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


def check_uninstall_keeps_settings_and_another_saver(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "keep")
        write_settings(installed)
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, OTHER_SAVER)
        installed.uninstall()
        expect(installed.files() == ["Solvane.ini"], f"left after uninstalling: {installed.files()}")
        with open(installed.file("Solvane.ini"), "rb") as f:
            expect(f.read() == SETTINGS, "the settings file was changed")
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) == OTHER_SAVER,
               f"another active screen saver became {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


def check_uninstall_resets_its_own_saver_and_removes_settings_on_request(env, args):
    with DesktopSettings(env):
        env.reg_delete(DESKTOP_KEY, SAVER_VALUE)
        installed = install(env, args, "remove")
        write_settings(installed)
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) is not None, "the installer set no active screen saver")
        installed.uninstall("/REMOVESETTINGS")
        expect(installed.files() is None, f"the folder is still there with {installed.files()}")
        expect(reg_query(env, DESKTOP_KEY, SAVER_VALUE) is None,
               f"the active screen saver still names {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


def check_uninstall_recognises_the_long_path_in_any_case(env, args):
    with DesktopSettings(env):
        env.reg_delete(DESKTOP_KEY, SAVER_VALUE)
        installed = install(env, args, "long")
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, (installed.folder + "\\" + NAMES.frontendFile).upper())
        installed.uninstall()
        expect(installed.files() is None, f"the folder is still there with {installed.files()}")
        expect(reg_query(env, DESKTOP_KEY, SAVER_VALUE) is None,
               f"the active screen saver still names {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


def set_desktop(env, saver, active):
    """The active-saver value (None: none chosen) and ScreenSaveActive."""
    if saver is None:
        env.reg_delete(DESKTOP_KEY, SAVER_VALUE)
    else:
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, saver)
    env.reg_add(DESKTOP_KEY, ACTIVE_VALUE, active)


def desktop(env):
    return reg_text(env, DESKTOP_KEY, SAVER_VALUE), reg_text(env, DESKTOP_KEY, ACTIVE_VALUE)


def check_uninstall_puts_back_the_saver_found_at_install(env, args):
    for before in ((OTHER_SAVER, "1"), (None, "0")):
        with DesktopSettings(env):
            set_desktop(env, *before)
            installed = install(env, args, "previous")
            short = short_form(env, installed.scr)
            expect(desktop(env) == (short, "1"), f"with {before} installing made {desktop(env)}, not {(short, '1')}")
            if before[0] is not None:
                # A reinstall finds Solvane active; what it puts back stays what the first found.
                installed = Installed(env, setup_program(args), installed.folder)
                expect(desktop(env) == (short, "1"), f"with {before} reinstalling made {desktop(env)}")
            installed.uninstall("/REMOVESETTINGS")
            expect(desktop(env) == before, f"uninstalling made {desktop(env)}, not {before} as before installing")


def check_keepsaver_leaves_the_active_saver(env, args):
    before = (OTHER_SAVER, "0")
    with DesktopSettings(env):
        set_desktop(env, *before)
        installed = install(env, args, "keepsaver", options=[KEEP_SAVER])
        expect(desktop(env) == before, f"{KEEP_SAVER} made {desktop(env)}, not {before}")
        expect(installed.files() == INSTALLED, f"installed files {installed.files()}, expected {INSTALLED}")
        expect_shortcuts(env, installed, "cp1252")
        installed.uninstall("/REMOVESETTINGS")
        expect(desktop(env) == before, f"uninstalling made {desktop(env)}, not {before}")


if __name__ == "__main__":
    common.run_checks([
        check_silent_install_places_files_entry_and_active_saver,
        check_uninstall_keeps_settings_and_another_saver,
        check_uninstall_resets_its_own_saver_and_removes_settings_on_request,
        check_uninstall_recognises_the_long_path_in_any_case,
        check_uninstall_puts_back_the_saver_found_at_install,
        check_keepsaver_leaves_the_active_saver,
    ], __doc__, add_release_arguments)
