#!/usr/bin/env python3
"""The 64-bit installer and its uninstaller, run silently as a user
or a deployment tool would: the files land in the chosen folder, the program
list entry, the active screen saver and the Start-menu way back to Solvane
are set, the installed saver runs, and uninstalling removes what was
installed, keeps the settings unless asked, and resets the active screen
saver only while it is still Solvane. Under code page 1252 and 932, with
%LOCALAPPDATA% named in letters no code page writes together, the default
folder is taken in a form the code page writes, the programs work from it
and it is uninstalled; a folder with no such form is refused by the
directory page, and installed under its long name by the silent install."""

import os

import common
from common import expect
from contract import NAMES
from frontend_common import SAVER_RUN_TITLE
from dialog_driver import Dialog
from procs import poll
from release_common import (ACTIVE_VALUE, DESKTOP_KEY, DOCUMENTS, LOCAL_APPDATA, PROGRAMS, SAVER_VALUE,
                            SHELL_FOLDERS_KEY, UNINSTALL_KEY, USER_SHELL_FOLDERS_KEY, DesktopSettings,
                            Installed, add_release_arguments, expect_no_shortcuts, expect_shortcuts,
                            package_path, reg_import, reg_query, reg_string, reg_text, short_form, uninstall,
                            windows_file)
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

INSTALLED = sorted(PROGRAMS + DOCUMENTS + ("Uninstall.exe",))
OTHER_SAVER = r"C:\windows\system32\Other Saver.scr"
SETTINGS = b"[Section]\r\nBGM\x8b\xe6\x95\xaa= 0\r\n"
# Wine's ANSI code page follows the locale; the codec says what it writes.
CODE_PAGES = {"1252": ({"LC_ALL": "C.UTF-8"}, "cp1252"), "932": ({"LC_ALL": "ja_JP.UTF-8"}, "cp932")}
UNNAMED = "Łódź Музыка"  # 1252 has no Cyrillic, 932 no Ł or ź
REFUSALS = {"1252": "Solvane cannot be installed in this folder.",
            "932": "このフォルダーには Solvane をインストールできません。"}
WIZARD_TIMEOUT = 30
TEST_FOLDER = "Saver Test"  # with a space, so its short and long forms differ


def setup_program(args):
    return package_path(args, "win64", "-setup.exe")


def install(env, args, name):
    return Installed(env, setup_program(args), rf"C:\{TEST_FOLDER}\{name}-{os.getpid()}\Solvane")


def drive_c(env, *parts):
    return os.path.join(env.prefix, "drive_c", *parts)


def survives(text, codec):
    try:
        return text.encode(codec).decode(codec) == text
    except UnicodeError:
        return False


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
        env.wait_window(RENDERER_TITLE, timeout=30)
        env.wait_window(SAVER_RUN_TITLE, timeout=10, visible=False)
        env.key("space")
        rc = frontend.wait(10)
        expect(rc == 0, f"the installed front end ended with {rc}")
        env.wait_window_gone(RENDERER_TITLE, timeout=10)
        installed.uninstall()
        expect_no_shortcuts(env)


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


def expect_programs_work(env, installed, locale):
    """The settings dialog opens from the folder and saves beside the programs."""
    dialog = Dialog(env, installed, winedebug="-all", extra_env=locale)
    dialog.set_button()
    dialog.ended()  # a save that failed would have kept the dialog open
    expect(os.path.isfile(installed.file("Solvane.ini")), f"no settings were saved in {installed.folder}")


def check_a_default_folder_the_code_page_cannot_name(env, args):
    for code_page, (locale, codec) in CODE_PAGES.items():
        name = f"{UNNAMED} {code_page}-{os.getpid()}"
        appdata = drive_c(env, TEST_FOLDER, name)
        os.makedirs(appdata)
        with DesktopSettings(env, (USER_SHELL_FOLDERS_KEY, LOCAL_APPDATA), (SHELL_FOLDERS_KEY, LOCAL_APPDATA)):
            # NSIS's $LOCALAPPDATA follows this value, as Windows does.
            reg_import(env, USER_SHELL_FOLDERS_KEY, {LOCAL_APPDATA: rf"C:\{TEST_FOLDER}\{name}"})
            if reg_query(env, UNINSTALL_KEY, "InstallLocation") is not None:
                # Left by a check that failed; it would be the default folder.
                print("     removing an installation an earlier check left", flush=True)
                uninstall(env, "/REMOVESETTINGS")
            installed = Installed(env, setup_program(args), extra_env=locale)
            default = os.path.join(appdata, "Programs", "Solvane")
            expect(os.path.samefile(installed.path, default), f"installed in {installed.folder!r}, not the default folder")
            expected = short_form(env, rf"C:\{TEST_FOLDER}\{name}") + r"\Programs\Solvane"
            expect(installed.folder == expected and survives(expected, codec),
                   f"under code page {code_page} the folder is {installed.folder!r}, not {expected!r}")
            saver = reg_string(env, DESKTOP_KEY, SAVER_VALUE)
            short = short_form(env, installed.scr)
            expect(saver == short, f"under code page {code_page} the active screen saver is {saver!r}, not {short!r}")
            expect_shortcuts(env, installed, codec)
            expect_programs_work(env, installed, locale)

            # The value as another tool may write it: the long name.
            reg_import(env, DESKTOP_KEY, {SAVER_VALUE: rf"C:\{TEST_FOLDER}\{name}\Programs\Solvane\{NAMES.frontendFile}"})
            installed.uninstall("/REMOVESETTINGS")
            expect(installed.files() is None, f"under code page {code_page} the folder is left with {installed.files()}")
            expect_no_shortcuts(env)
            expect(reg_query(env, DESKTOP_KEY, SAVER_VALUE) is None,
                   f"under code page {code_page} the long name of the uninstalled saver is still active")


def check_a_silent_install_goes_on_where_no_form_names_the_folder(env, args):
    """Nobody can be asked, so the folder keeps its long name. Once made it
    has a short form, which the programs and the active-saver value use."""
    locale, codec = CODE_PAGES["1252"]
    folder = rf"C:\{TEST_FOLDER}\{UNNAMED} none-{os.getpid()}\Solvane"
    with DesktopSettings(env):
        installed = Installed(env, setup_program(args), folder, extra_env=locale)
        expect(installed.folder == folder, f"installed in {installed.folder!r}, not {folder!r}")
        expect(installed.files() == INSTALLED, f"installed files {installed.files()}, expected {INSTALLED}")
        saver = reg_string(env, DESKTOP_KEY, SAVER_VALUE)
        expect(saver == short_form(env, installed.scr) and survives(saver, codec),
               f"the active screen saver is {saver!r}, not a short path the code page writes")
        expect_programs_work(env, installed, locale)
        installed.uninstall("/REMOVESETTINGS")
        expect(installed.files() is None, f"the folder is left with {installed.files()}")


class Wizard:
    """The setup program's wizard, driven with keys as a user drives it and
    read through the texts of the foreground window."""

    def __init__(self, env, args, folder, locale):
        self.env = env
        self.proc = env.start(setup_program(args), f"/D={folder}".split(" "), extra_env=locale)
        self.hwnd = None

    def wait(self, what, shown):
        """(hwnd, texts) of the foreground window once shown(hwnd, texts)."""
        def foreground():
            expect(self.proc.alive(), f"the setup program ended while waiting for {what}")
            found = self.env.foreground()
            if not found:
                return None
            rc, out = self.env.probe("texts", found[0])
            return (found[0], out) if rc == 0 and shown(found[0], out) else None
        return poll(foreground, WIZARD_TIMEOUT, what=what)

    def page(self, what, shown):
        self.hwnd, texts = self.wait(f"the {what} page", lambda hwnd, out: self.hwnd in (None, hwnd) and shown(out))
        return texts


def check_the_directory_page_refuses_a_folder_no_form_names(env, args):
    for code_page, (locale, _) in CODE_PAGES.items():
        folder = rf"C:\{TEST_FOLDER}\{UNNAMED} wizard {code_page}-{os.getpid()}\Solvane"
        wizard = Wizard(env, args, folder, locale)
        wizard.page("welcome", lambda out: out.startswith(f"#32770\tSolvane {args.version}") and "Edit\t" not in out)
        env.key("Return")
        wizard.page("licence", lambda out: "RichEdit20W\t" in out)
        env.key("Return")
        wizard.page("directory", lambda out: f"Edit\t{folder}\n" in out)
        env.key("Return")
        _, told = wizard.wait("the folder to be refused", lambda hwnd, out: hwnd != wizard.hwnd)
        expect(REFUSALS[code_page] in told, f"under code page {code_page} the wizard said {told!r}")
        env.key("Return")
        wizard.page("directory again", lambda out: f"Edit\t{folder}\n" in out)
        wizard.proc.kill()
        expect(not os.path.exists(drive_c(env, TEST_FOLDER, f"{UNNAMED} wizard {code_page}-{os.getpid()}")),
               "the refused folder was made")
        expect(reg_query(env, UNINSTALL_KEY, "DisplayName") is None, "the refused installation was listed")


if __name__ == "__main__":
    common.run_checks([
        check_silent_install_places_files_entry_and_active_saver,
        check_uninstall_keeps_settings_and_another_saver,
        check_uninstall_resets_its_own_saver_and_removes_settings_on_request,
        check_uninstall_recognises_the_long_path_in_any_case,
        check_a_default_folder_the_code_page_cannot_name,
        check_a_silent_install_goes_on_where_no_form_names_the_folder,
        check_the_directory_page_refuses_a_folder_no_form_names,
    ], __doc__, add_release_arguments)
