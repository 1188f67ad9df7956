#!/usr/bin/env python3
"""The 64-bit installer and its uninstaller, run silently as a user
or a deployment tool would: the files land in the chosen folder, the program
list entry and the active screen saver are set, the installed saver runs, and
uninstalling removes what was installed, keeps the settings unless asked,
and resets the active screen saver only while it is still Solvane."""

import os

import common
from common import expect
from contract import NAMES
from frontend_common import SAVER_RUN_TITLE
from release_common import (ACTIVE_VALUE, DESKTOP_KEY, DOCUMENTS, PROGRAMS, SAVER_VALUE, UNINSTALL_KEY,
                            DesktopSettings, Installed, add_release_arguments, package_path, reg_query,
                            reg_text, windows_file)
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

INSTALLED = sorted(PROGRAMS + DOCUMENTS + ("Uninstall.exe",))
OTHER_SAVER = r"C:\windows\system32\Other Saver.scr"
SETTINGS = b"[Section]\r\nBGM\x8b\xe6\x95\xaa= 0\r\n"


def install(env, args, name):
    # A folder with a space, so its short and long forms differ.
    return Installed(env, package_path(args, "win64", "-setup.exe"), rf"C:\Saver Test\{name}-{os.getpid()}\Solvane")


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
        expect(" " not in saver, f"the active screen saver path {saver!r} would need quotes")
        expect(reg_text(env, DESKTOP_KEY, ACTIVE_VALUE) == "1", "screen savers were not switched on")

        # Started as the system starts the active screen saver.
        park_cursor(env)
        frontend = env.start(saver, ["/s"])
        env.wait_window(RENDERER_TITLE, timeout=30)
        env.wait_window(SAVER_RUN_TITLE, timeout=10, visible=False)
        env.key("space")
        rc = frontend.wait(10)
        expect(rc == 0, f"the installed front end ended with {rc}")
        env.wait_window_gone(RENDERER_TITLE, timeout=10)
        installed.uninstall()


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
        installed = install(env, args, "remove")
        write_settings(installed)
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) is not None, "the installer set no active screen saver")
        installed.uninstall("/REMOVESETTINGS")
        expect(installed.files() is None, f"the folder is still there with {installed.files()}")
        expect(reg_query(env, DESKTOP_KEY, SAVER_VALUE) is None,
               f"the active screen saver still names {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


def check_uninstall_recognises_the_long_path_in_any_case(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "long")
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, (installed.folder + "\\" + NAMES.frontendFile).upper())
        installed.uninstall()
        expect(installed.files() is None, f"the folder is still there with {installed.files()}")
        expect(reg_query(env, DESKTOP_KEY, SAVER_VALUE) is None,
               f"the active screen saver still names {reg_text(env, DESKTOP_KEY, SAVER_VALUE)!r}")


if __name__ == "__main__":
    common.run_checks([
        check_silent_install_places_files_entry_and_active_saver,
        check_uninstall_keeps_settings_and_another_saver,
        check_uninstall_resets_its_own_saver_and_removes_settings_on_request,
        check_uninstall_recognises_the_long_path_in_any_case,
    ], __doc__, add_release_arguments)
