#!/usr/bin/env python3
"""The 64-bit installer and uninstaller while Solvane runs from its folder:
a preview in a host's window, the settings dialog, a saver run. Silently
they close what runs and go on: no file is left behind with the entry gone,
and a reinstall replaces the programs. The uninstaller's wizard asks first:
Cancel changes nothing, OK closes Solvane and uninstalls it. A program file another program holds
open cannot be removed: the uninstaller then keeps the entry and the active
saver, so that it can be run again."""

import os
import zipfile

import common
from common import expect, programs_running
from contract import NAMES
from frontend_common import wait_saver_run
from procs import poll
from release_common import (DESKTOP_KEY, INSTALLED, SAVER_VALUE, UNINSTALL_KEY, DesktopSettings, Installed,
                            add_release_arguments, expect_no_shortcuts, install, menu_folder, package_path, reg_query,
                            reg_text, setup_program)
from release_wizard import UninstallWizard
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

HOST_TITLE = "Solvane Probe Host"
PROGRAMS_TIMEOUT = 30
ASKED = "Solvane is running from this folder"
ABORTED = "Uninstallation Aborted"
COMPLETED = "Uninstallation Complete"


def expect_gone(installed, proc, what):
    """The programs ended and the uninstall finished: nothing of Solvane left."""
    expect(not proc.alive(), f"{what}: the front end still runs")
    expect(installed.files() is None, f"{what}: the folder is left with {installed.files()}")


def check_uninstall_during_a_preview(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "preview")
        host = env.start(env.probe_exe, ["host", 200, 150, 120000])
        host_window = env.wait_window(HOST_TITLE, timeout=15)
        # Started as the Screen Saver dialog starts it: by the active-saver value.
        preview = env.start(reg_text(env, DESKTOP_KEY, SAVER_VALUE), ["/p", host_window.hwnd])
        poll(lambda: any(w.cls == NAMES.previewClass and w.visible for w in env.children(host_window.hwnd)),
             PROGRAMS_TIMEOUT, what="the preview pane in the host")
        installed.uninstall("/REMOVESETTINGS")
        expect_gone(installed, preview, "uninstalled during a preview")
        expect(host.alive(), "the uninstaller ended the Screen Saver dialog's stand-in too")
        expect_no_shortcuts(env)


def check_uninstall_during_the_settings_dialog(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "dialog")
        dialog = installed.start("/c")
        env.wait_window(NAMES.settingsDialogTitle, timeout=PROGRAMS_TIMEOUT)
        # Without /REMOVESETTINGS: a dialog that saved on closing would leave a folder.
        installed.uninstall()
        expect_gone(installed, dialog, "uninstalled during the settings dialog")
        expect(env.find_window(NAMES.settingsDialogTitle) is None, "the settings dialog is still open")


def check_uninstall_keeps_the_entry_while_a_program_file_is_held(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "held")
        saver = reg_text(env, DESKTOP_KEY, SAVER_VALUE)
        # Another program (a virus scanner, say) holds the renderer, the
        # second file removed, open without letting it be deleted.
        holder = env.start(env.probe_exe, ["hold-file", installed.folder + "\\" + NAMES.rendererFile, 120000])
        holder.wait_output(r"held", 30)
        printed = installed.uninstall(removed=False)
        left = installed.files() or []
        expect(NAMES.rendererFile in left and "Uninstall.exe" in left,
               f"the entry is kept but the folder holds {left}: {printed[-1500:]!r}")
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) == saver, "the active saver was changed although Solvane stays")
        expect(os.path.isdir(menu_folder(env)), "the Start menu's way to Solvane was removed although Solvane stays")

        holder.kill()
        installed.uninstall("/REMOVESETTINGS")
        expect(installed.files() is None, f"uninstalling again left {installed.files()}")
        expect(reg_text(env, DESKTOP_KEY, SAVER_VALUE) != saver, "uninstalling again kept Solvane the active saver")


def check_reinstall_during_a_saver_run(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "run")
        for name in (NAMES.frontendFile, NAMES.rendererFile):
            with open(installed.file(name), "ab") as f:
                f.write(b"stale")  # an older build, which the reinstall must replace
        park_cursor(env)
        frontend = installed.start("/s")
        wait_saver_run(env, timeout=PROGRAMS_TIMEOUT)
        again = Installed(env, setup_program(args), installed.folder)
        expect(frontend.wait(PROGRAMS_TIMEOUT) == 0, "the saver run's front end did not end as closed")
        env.wait_window_gone(RENDERER_TITLE, timeout=PROGRAMS_TIMEOUT)
        poll(lambda: not programs_running(env), PROGRAMS_TIMEOUT, what="the saver run's processes to end")
        expect(again.files() == INSTALLED, f"reinstalled files {again.files()}")
        with zipfile.ZipFile(package_path(args, "win64", ".zip")) as archive:
            for name in (NAMES.frontendFile, NAMES.rendererFile):
                with open(again.file(name), "rb") as f:
                    expect(f.read() == archive.read("Solvane/" + name), f"the reinstall did not replace {name}")
        again.uninstall("/REMOVESETTINGS")


def check_the_uninstall_wizard_asks_before_closing_solvane(env, args):
    with DesktopSettings(env):
        installed = install(env, args, "ask")
        dialog = installed.start("/c")
        env.wait_window(NAMES.settingsDialogTitle, timeout=PROGRAMS_TIMEOUT)
        for answer in ("Escape", "Return"):  # Cancel, then OK
            wizard = UninstallWizard(env)
            wizard.to_uninstall()
            wizard.wait("the question whether to close Solvane", lambda hwnd, out: hwnd != wizard.hwnd and ASKED in out)
            env.key(answer)
            wizard.page("last", lambda out: (ABORTED if answer == "Escape" else COMPLETED) in out)
            env.key("Return")
            wizard.ended()
            if answer == "Escape":
                expect(dialog.alive(), "the settings dialog was closed although the user chose Cancel")
                expect(installed.files() == INSTALLED, f"after Cancel the folder holds {installed.files()}")
                expect(reg_query(env, UNINSTALL_KEY, "DisplayName") is not None, "after Cancel the entry is gone")
        poll(lambda: not dialog.alive(), PROGRAMS_TIMEOUT, what="the settings dialog's process to end")
        # Closed as its Cancel closes it: nothing saved, so no folder left.
        expect(installed.files() is None, f"after OK the folder holds {installed.files()}")
        expect(reg_query(env, UNINSTALL_KEY, "DisplayName") is None, "after OK the entry is still there")


if __name__ == "__main__":
    common.run_checks([
        check_uninstall_during_a_preview,
        check_uninstall_during_the_settings_dialog,
        check_uninstall_keeps_the_entry_while_a_program_file_is_held,
        check_reinstall_during_a_saver_run,
        check_the_uninstall_wizard_asks_before_closing_solvane,
    ], __doc__, add_release_arguments)
