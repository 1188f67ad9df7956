#!/usr/bin/env python3
"""The 64-bit installer and the ANSI code page, which the programs use for
their folder. Under code page 1252 and 932, with %LOCALAPPDATA% named in
letters no code page writes together, the default folder is taken in a form
the code page writes, the programs work from it and it is uninstalled; a
folder with no such form is refused by the directory page, and installed
under its long name by the silent install. Under UTF-8 as the code page
(65001) the installer converts as the programs do (the flags a relay trace
shows), and the wizard takes an ordinary folder and one named in Polish and
Cyrillic letters, from which the settings dialog saves."""

import os
import re

import common
from common import expect
from contract import NAMES
from dialog_driver import Dialog
from release_common import (DESKTOP_KEY, INSTALLED, LOCAL_APPDATA, SAVER_VALUE, SHELL_FOLDERS_KEY, TEST_FOLDER,
                            UNINSTALL_KEY, USER_SHELL_FOLDERS_KEY, DesktopSettings, Installed, KeptValues,
                            add_release_arguments, drive_c, expect_no_shortcuts, expect_shortcuts, reg_import,
                            reg_query, reg_string, setup_program, short_form, uninstall)
from release_wizard import Wizard

# Wine's ANSI code page follows the locale; the codec says what it writes.
CODE_PAGES = {"1252": ({"LC_ALL": "C.UTF-8"}, "cp1252"), "932": ({"LC_ALL": "ja_JP.UTF-8"}, "cp932")}
UNNAMED = "Łódź Музыка"  # 1252 has no Cyrillic, 932 no Ł or ź
REFUSALS = {"1252": "Solvane cannot be installed in this folder.",
            "932": "このフォルダーには Solvane をインストールできません。"}
# A locale Windows has no ANSI code page for: Wine answers 65001.
UTF8 = {"LC_ALL": "hi_IN.UTF-8"}
CP_UTF8 = 0xFDE9
WC_ERR_INVALID_CHARS = 0x80
DEBUG_KEY = r"HKCU\Software\Wine\Debug"
RELAY_CALLS = "GetACP;WideCharToMultiByte"


def survives(text, codec):
    try:
        return text.encode(codec).decode(codec) == text
    except UnicodeError:
        return False


def expect_programs_work(env, installed, locale, winedebug="-all"):
    """The settings dialog opens from the folder and saves beside the
    programs; returns its process."""
    dialog = Dialog(env, installed, winedebug=winedebug, extra_env=locale)
    dialog.set_button()
    dialog.ended()  # a save that failed would have kept the dialog open
    expect(os.path.isfile(installed.file("Solvane.ini")), f"no settings were saved in {installed.folder}")
    return dialog.proc


def check_a_default_folder_the_code_page_cannot_name(env, args):
    for code_page, (locale, codec) in CODE_PAGES.items():
        name = f"{UNNAMED} {code_page}-{os.getpid()}"
        appdata = drive_c(env, TEST_FOLDER, name)
        os.makedirs(appdata)
        with DesktopSettings(env, (USER_SHELL_FOLDERS_KEY, LOCAL_APPDATA), (SHELL_FOLDERS_KEY, LOCAL_APPDATA)):
            # NSIS's $LOCALAPPDATA follows this value, as Windows does.
            reg_import(env, USER_SHELL_FOLDERS_KEY, {LOCAL_APPDATA: rf"C:\{TEST_FOLDER}\{name}"})
            env.reg_delete(DESKTOP_KEY, SAVER_VALUE)
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


def check_the_directory_page_refuses_a_folder_no_form_names(env, args):
    for code_page, (locale, _) in CODE_PAGES.items():
        folder = rf"C:\{TEST_FOLDER}\{UNNAMED} wizard {code_page}-{os.getpid()}\Solvane"
        wizard = Wizard(env, setup_program(args), folder, locale)
        wizard.directory_page(args.version, folder)
        told = wizard.refused(folder)
        expect(REFUSALS[code_page] in told, f"under code page {code_page} the wizard said {told!r}")
        wizard.proc.kill()
        expect(not os.path.exists(drive_c(env, TEST_FOLDER, f"{UNNAMED} wizard {code_page}-{os.getpid()}")),
               "the refused folder was made")
        expect(reg_query(env, UNINSTALL_KEY, "DisplayName") is None, "the refused installation was listed")


def conversions(process, folder_end):
    """(code page, flags, default character, used-default pointer) of each
    WideCharToMultiByte call with flags that a relay trace of the process
    shows for a text ending in folder_end, and GetACP's answers."""
    trace = process.stderr()
    calls = re.findall(r'Call KERNEL32\.WideCharToMultiByte\((\w+),(\w+),\w+ L"([^"]*)",\w+,\w+,\w+,(\w+),(\w+)\)', trace)
    wanted = folder_end.replace("\\", "\\\\")  # as the trace escapes it
    found = {(int(page, 16), int(flags, 16), int(default, 16), int(used, 16))
             for page, flags, text, default, used in calls if int(flags, 16) and wanted in text}
    answers = {int(value, 16) for value in re.findall(r"Ret  KERNEL32\.GetACP\(\) retval=(\w+)", trace)}
    return found, answers


def check_the_wizard_under_utf8_takes_the_programs_rule(env, args):
    utf8_rule = {(0, WC_ERR_INVALID_CHARS, 0, 0)}  # CP_ACP, no default character, no question about one
    with KeptValues(env, [(DEBUG_KEY, "RelayInclude")]):
        env.reg_add(DEBUG_KEY, "RelayInclude", RELAY_CALLS)
        for name in ("Plain", UNNAMED):
            # The trace writes other letters as escapes: the folder is found by its end.
            end = rf" utf8-{os.getpid()}\Solvane"
            folder = rf"C:\{TEST_FOLDER}\{name}{end}"
            with DesktopSettings(env):
                wizard = Wizard(env, setup_program(args), folder, UTF8, winedebug="-all,+relay")
                wizard.directory_page(args.version, folder)
                wizard.install()
                installer, answers = conversions(wizard.proc, end)
                expect(answers == {CP_UTF8}, f"under {UTF8} the installer's code page was {answers}, not 65001")
                expect(installer == utf8_rule, f"the installer converted {name!r} as {installer}, not {utf8_rule}")

                installed = Installed.listed(env, UTF8)
                expect(installed.folder == folder, f"the wizard installed into {installed.folder!r}, not {folder!r}")
                expect(installed.files() == INSTALLED, f"installed files {installed.files()}, expected {INSTALLED}")
                dialog = expect_programs_work(env, installed, UTF8, winedebug="-all,+relay")
                programs, _ = conversions(dialog, end)
                expect(programs == installer, f"the settings dialog converted its folder as {programs}, "
                                              f"the installer as {installer}")
                installed.uninstall("/REMOVESETTINGS")
                expect(installed.files() is None, f"the folder is left with {installed.files()}")


if __name__ == "__main__":
    common.run_checks([
        check_a_default_folder_the_code_page_cannot_name,
        check_a_silent_install_goes_on_where_no_form_names_the_folder,
        check_the_directory_page_refuses_a_folder_no_form_names,
        check_the_wizard_under_utf8_takes_the_programs_rule,
    ], __doc__, add_release_arguments)
