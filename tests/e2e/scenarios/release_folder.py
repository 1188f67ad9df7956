#!/usr/bin/env python3
"""The 64-bit installer and folders that are not Solvane's own. A folder
holding another product's ReadMe.txt, LICENSE.txt and Uninstall.exe (also
beside a Solvane.scr, or a folder holding a folder) is refused by a silent
install, with its exit code and nothing written, and by the directory page;
the other product's files keep their bytes, also once Solvane was installed
in the folder inside it that the page suggests and uninstalled again.
Solvane's own folders (an earlier installation with its settings, the zip
unpacked, the settings an uninstall kept) are installed over, settings
kept."""

import os
import shutil
import zipfile

import common
from common import expect
from contract import NAMES
from release_common import (DESKTOP_KEY, EXIT_FOLDER_NOT_OWN, INSTALLED, OTHER_SAVER, SAVER_VALUE, SETTINGS,
                            TEST_FOLDER, UNINSTALL_KEY, DesktopSettings, Installed, add_release_arguments, drive_c,
                            menu_folder, package_path, reg_query, reg_text, run_setup, setup_program)
from release_wizard import Wizard
NOT_OWN = ("Solvane cannot be installed in this folder.", "that are not Solvane's")


def another_product(env):
    """Another product's files as its installer left them: a read-me, a
    licence and its uninstaller, a real program whose version block names
    another product (Wine's notepad)."""
    with open(drive_c(env, "windows", "system32", "notepad.exe"), "rb") as f:
        uninstaller = f.read()
    return {"ReadMe.txt": b"Another product's read-me\r\n", "LICENSE.txt": b"Another product's licence\r\n",
            "Uninstall.exe": uninstaller}


def make_folder(env, name, files):
    """A folder under C:\\Saver Test holding files {name: bytes} (None: a
    folder); returns (Windows path, Linux path)."""
    folder = f"{name}-{os.getpid()}"
    path = drive_c(env, TEST_FOLDER, folder)
    os.makedirs(path)
    for file, data in files.items():
        if data is None:
            os.makedirs(os.path.join(path, file))
        else:
            with open(os.path.join(path, file), "wb") as f:
                f.write(data)
    return rf"C:\{TEST_FOLDER}\{folder}", path


def contents(path):
    """{name: bytes} of a folder's files, None for a folder in it."""
    found = {}
    for name in os.listdir(path):
        full = os.path.join(path, name)
        if os.path.isdir(full):
            found[name] = None
        else:
            with open(full, "rb") as f:
                found[name] = f.read()
    return found


def expect_untouched(env, path, files, what):
    found = contents(path)
    changed = sorted(name for name in set(found) | set(files) if found.get(name, b"") != files.get(name, b""))
    expect(not changed, f"{what}: {changed} of {sorted(files)} changed, the folder holds {sorted(found)}")
    expect(reg_query(env, UNINSTALL_KEY, "DisplayName") is None, f"{what}: Solvane was listed")
    expect(not os.path.exists(menu_folder(env)), f"{what}: a Start-menu folder was made")


def check_a_silent_install_refuses_a_folder_that_is_not_solvanes(env, args):
    product = another_product(env)
    with zipfile.ZipFile(package_path(args, "win64", ".zip")) as archive:
        our_scr = archive.read("Solvane/" + NAMES.frontendFile)
    cases = {"another product": product,
             "another product beside Solvane.scr": {**product, NAMES.frontendFile: our_scr},
             "a folder in it": {"Data": None}}
    with DesktopSettings(env):
        env.reg_add(DESKTOP_KEY, SAVER_VALUE, OTHER_SAVER)
        for what, files in cases.items():
            folder, path = make_folder(env, what.replace(" ", "_"), files)
            rc = run_setup(env, setup_program(args), folder)
            expect(rc == EXIT_FOLDER_NOT_OWN, f"{what}: the silent installer ended with {rc}, "
                                              f"not {EXIT_FOLDER_NOT_OWN}")
            expect_untouched(env, path, files, what)
            expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) == OTHER_SAVER, f"{what}: the active saver was changed")

        # Where the directory page would send the user: a new folder inside.
        folder, path = make_folder(env, "beside", product)
        installed = Installed(env, setup_program(args), folder + r"\Solvane")
        expect(installed.files() == INSTALLED, f"installed files {installed.files()}, expected {INSTALLED}")
        installed.uninstall("/REMOVESETTINGS")
        expect_untouched(env, path, product, "installed in the folder inside and uninstalled")


def check_solvanes_own_folders_are_installed_over(env, args):
    with DesktopSettings(env):
        # An earlier installation with its settings: reinstalled, settings kept.
        folder, path = make_folder(env, "earlier", {})
        installed = Installed(env, setup_program(args), folder)
        with open(installed.file("Solvane.ini"), "wb") as f:
            f.write(SETTINGS)
        again = Installed(env, setup_program(args), folder)
        expect(again.files() == sorted(INSTALLED + ["Solvane.ini"]), f"reinstalled files {again.files()}")
        with open(again.file("Solvane.ini"), "rb") as f:
            expect(f.read() == SETTINGS, "reinstalling changed the settings")

        # What uninstalling it kept: the settings alone.
        again.uninstall()
        expect(os.listdir(path) == ["Solvane.ini"], f"uninstalling left {os.listdir(path)}")
        third = Installed(env, setup_program(args), folder)
        with open(third.file("Solvane.ini"), "rb") as f:
            expect(f.read() == SETTINGS, "installing over the kept settings changed them")
        third.uninstall("/REMOVESETTINGS")

        # The zip unpacked into a folder of its own.
        unpacked = drive_c(env, TEST_FOLDER, f"unpacked-{os.getpid()}")
        with zipfile.ZipFile(package_path(args, "win64", ".zip")) as archive:
            archive.extractall(unpacked)
        installed = Installed(env, setup_program(args), rf"C:\{TEST_FOLDER}\unpacked-{os.getpid()}\Solvane")
        expect(installed.files() == INSTALLED, f"installed over the zip: {installed.files()}")
        installed.uninstall()
        expect(not os.path.exists(installed.path), "uninstalling left the unpacked folder")
        shutil.rmtree(unpacked)


def check_the_directory_page_refuses_a_folder_that_is_not_solvanes(env, args):
    product = another_product(env)
    folder, path = make_folder(env, "wizard", product)
    wizard = Wizard(env, setup_program(args), folder, {"LC_ALL": "C.UTF-8"})
    wizard.directory_page(args.version, folder)
    told = wizard.refused(folder)
    for text in NOT_OWN:
        expect(text in told, f"the wizard said {told!r}, not {text!r}")
    # The way out it names: a folder of Solvane's own inside this one.
    expect(folder + r"\Solvane" in told, f"the wizard suggested no folder inside: {told!r}")
    wizard.proc.kill()
    expect_untouched(env, path, product, "refused by the directory page")


if __name__ == "__main__":
    common.run_checks([
        check_a_silent_install_refuses_a_folder_that_is_not_solvanes,
        check_solvanes_own_folders_are_installed_over,
        check_the_directory_page_refuses_a_folder_that_is_not_solvanes,
    ], __doc__, add_release_arguments)
