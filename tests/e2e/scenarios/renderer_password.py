#!/usr/bin/env python3
"""On Windows 98 the renderer asks PASSWORD.CPL before it closes: a refusal
keeps it running and only new input asks again, an acceptance or a missing
module ends it; close requests that arrive while the dialog is open start no
second check; on an NT version the module is never consulted. The module is
the one in the system folder: one planted where a search by name would find
it (beside the renderer, in its current folder) is never called, also when
the front end starts the renderer."""

import os
import shutil

import common
from common import HarnessError, expect, relay_calls, relay_only, scratch_dir, windows_binary
from frontend_common import Installation, wait_saver_run
from renderer_common import (SAVER_CLASS, TITLE, expect_ends, expect_stays_up, park_cursor, renderer_copy,
                             start_renderer)

PASSWORD_MODULE = "tests/e2e/password_cpl/PASSWORD.CPL"
MODULE_NAME = "PASSWORD.CPL"
SYSTEM_MODULE = r"C:\windows\system32\PASSWORD.CPL"
WM_CLOSE = 0x0010
# The ways a program loads a library, traced to see what it was asked for.
LIBRARY_LOADS = [f"{dll}.LoadLibrary{kind}" for dll in ("kernel32", "kernelbase")
                 for kind in ("A", "W", "ExA", "ExW")]


class PasswordModule:
    """The test module in the prefix's system folder (unless `installed` is
    false) for as long as the check runs, and a copy planted beside a copy of
    the renderer, whose folder is also the current folder it is started in;
    the answer they give and the log of their calls."""

    def __init__(self, env, args, name, installed=True):
        folder = scratch_dir(env, name)
        source = windows_binary(args, PASSWORD_MODULE)
        self.folder = os.path.join(folder, "saver")
        self.exe = renderer_copy(env, args, self.folder, [(source, MODULE_NAME)])
        self.system_copy = os.path.join(env.prefix, "drive_c", "windows", "system32", MODULE_NAME)
        if installed:
            shutil.copy2(source, self.system_copy)
        self.answer_file = os.path.join(folder, "answer.txt")
        self.log_file = os.path.join(folder, "calls.log")
        self.release_file = os.path.join(folder, "release")
        self.answer(1)
        self.env = {"SOLVANE_PASSWORD_ANSWER_FILE": env.winpath(self.answer_file),
                    "SOLVANE_PASSWORD_LOG": env.winpath(self.log_file),
                    "SOLVANE_PASSWORD_RELEASE_FILE": env.winpath(self.release_file)}

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if os.path.exists(self.system_copy):
            os.remove(self.system_copy)

    def start_renderer(self, env, args):
        return start_renderer(env, args, exe=self.exe, extra_env=self.env, cwd=self.folder)

    def answer(self, value, hold=False):
        """The verdict of the next checks; with `hold` their dialog stays open until release()."""
        with open(self.answer_file, "w") as f:
            f.write(f"{value}{' hold' if hold else ''}\n")

    def release(self):
        with open(self.release_file, "w"):
            pass

    def lines(self, kind):
        if not os.path.exists(self.log_file):
            return []
        with open(self.log_file) as f:
            return [line.split() for line in f if line.split()[:1] == [kind]]

    def calls(self):
        return self.lines("call")

    def returns(self):
        return self.lines("return")

    def expect_system_module_only(self):
        """Every call went to the module in the system folder, none to a planted one."""
        called = [fields(call)["module"] for call in self.calls()]
        expect(all(module.lower() == SYSTEM_MODULE.lower() for module in called),
               f"modules called: {called}, expected only {SYSTEM_MODULE}")


def fields(line):
    return dict(item.split("=", 1) for item in line[1:])


def saver_running(env):
    rc, out = env.probe("saver-running")
    expect(rc == 0, f"probe saver-running failed ({rc})")
    return int(out)


def wait_calls(module, count, timeout=10):
    common.winenv.poll(lambda: len(module.calls()) >= count, timeout, what=f"{count} password checks")
    return module.calls()


def wait_returns(module, count, timeout=10):
    common.winenv.poll(lambda: len(module.returns()) >= count, timeout, what=f"{count} password checks to end")
    return module.returns()


def with_version(version, check):
    def run(env, args):
        env.set_windows_version(version)
        try:
            check(env, args)
        finally:
            env.set_windows_version(None)
    run.__name__ = check.__name__
    return run


def check_refusal_keeps_running_and_asks_again(env, args):
    with PasswordModule(env, args, "password-refused") as module:
        refusal_keeps_running_and_asks_again(env, args, module)
        module.expect_system_module_only()


def refusal_keeps_running_and_asks_again(env, args, module):
    module.answer(0)
    park_cursor(env)
    proc, window = module.start_renderer(env, args)
    expect(module.calls() == [], "the password was asked before any input")
    expect(saver_running(env) == 0, "the screen saver is marked running before the check")
    env.key("a")
    calls = wait_calls(module, 1)
    expect_stays_up(env, proc, "a refused password")
    call = fields(calls[0])
    expect(int(call["owner"]) == window.hwnd, f"dialog owner {call['owner']}, saver window {window.hwnd}")
    expect(call["title"] == TITLE, f"owner titled {call['title']!r}")
    expect(call["running"] == "1", f"screen saver not marked running during the check: {call}")
    expect(len(module.calls()) == 1, f"asked {len(module.calls())} times for one key press")
    expect(saver_running(env) == 0, "the screen saver is still marked running after the check")

    # The refusal put the saver back as it was before the key: another
    # program's close request is no input and asks nothing.
    wait_returns(module, 1)
    env.post(window.hwnd, WM_CLOSE)
    expect_stays_up(env, proc, "a WM_CLOSE from another program after a refused password")
    expect(len(module.calls()) == 1,
           f"a WM_CLOSE from another program after a refusal asked again: {len(module.calls())} checks")

    module.answer(1)
    env.click("left")
    wait_calls(module, 2)
    expect_ends(env, proc, "an accepted password")


def check_one_check_at_a_time(env, args):
    with PasswordModule(env, args, "password-once") as module:
        one_check_at_a_time(env, args, module)
        module.expect_system_module_only()


def one_check_at_a_time(env, args, module):
    module.answer(1, hold=True)
    park_cursor(env)
    proc, window = module.start_renderer(env, args)
    try:
        env.key("a")
        wait_calls(module, 1)
        # Two close requests while the dialog shows: one sent by another program
        # and one posted, which the dialog's own loop hands to the saver window.
        try:
            answered = env.send(window.hwnd, WM_CLOSE) == 0
        except HarnessError:
            answered = False
        env.post(window.hwnd, WM_CLOSE)
        common.winenv.poll(lambda: module.lines("close-delivered"), 10,
                           what="the posted WM_CLOSE to reach the saver")
        calls = module.calls()
        expect(len(calls) == 1, f"{len(calls)} password checks for one key press and two WM_CLOSE during its "
               f"dialog (checks already open as each began: {', '.join(fields(c)['open'] for c in calls)})")
        expect(answered, "the WM_CLOSE sent during the dialog went unanswered")
        expect(proc.alive() and env.find_window(TITLE, SAVER_CLASS) is not None,
               "the saver window ended while its password dialog was open")
    finally:
        # Every open check ends by itself, so none leaves the system marked
        # as running a screen saver for the checks after this one.
        module.release()
        wait_returns(module, len(module.calls()))
    returns = module.returns()
    expect_ends(env, proc, "an accepted password")
    expect(fields(returns[0])["owner_alive"] == "1", "the saver window was gone before its check returned")
    expect(len(module.calls()) == 1, f"{len(module.calls())} password checks for one key press")


def check_missing_module_allows_closing(env, args):
    """No module in the system folder: the planted one is not taken instead."""
    with PasswordModule(env, args, "password-missing", installed=False) as module:
        module.answer(0)
        park_cursor(env)
        proc, _ = module.start_renderer(env, args)
        env.key("a")
        expect_ends(env, proc, "a key press without PASSWORD.CPL in the system folder")
        expect(module.calls() == [], f"a planted PASSWORD.CPL was called: {module.calls()}")


def check_nt_never_asks(env, args):
    with PasswordModule(env, args, "password-nt") as module:
        module.answer(0)
        park_cursor(env)
        proc, _ = module.start_renderer(env, args)
        env.key("a")
        expect_ends(env, proc, "a key press on an NT version")
        expect(module.calls() == [], f"PASSWORD.CPL was consulted on NT: {module.calls()}")


def check_saver_run_asks_the_system_module(env, args):
    """The front end, started from a folder of its own, starts the renderer in
    the programs' folder, where a PASSWORD.CPL lies as in the first: only the
    system folder's module is asked, and by its path there."""
    with PasswordModule(env, args, "password-saver-run") as module, relay_only(env, LIBRARY_LOADS):
        try:
            saver_run_asks_the_system_module(env, args, module)
        finally:
            # The renderer is the front end's child, which the harness does not know.
            left = env.find_window(TITLE, SAVER_CLASS)
            if left is not None:
                env.probe("terminate", left.pid)


def saver_run_asks_the_system_module(env, args, module):
    install = Installation(env, args, "password-saver-run")
    source = windows_binary(args, PASSWORD_MODULE)
    shutil.copy2(source, os.path.join(install.folder, MODULE_NAME))
    elsewhere = scratch_dir(env, "password-saver-run-elsewhere")
    shutil.copy2(source, os.path.join(elsewhere, MODULE_NAME))
    install.configure(0)
    park_cursor(env)
    frontend = env.start(install.scr, ["/s"], extra_env=module.env, cwd=elsewhere, winedebug="-all,+pid,+relay")
    window, _ = wait_saver_run(env, cls=SAVER_CLASS)
    rc, folder = env.probe("current-folder", window.pid)
    expect(rc == 0, f"could not read the renderer's current folder ({rc})")
    expected = env.winpath(install.folder)
    expect(folder.strip().rstrip("\\").lower() == expected.rstrip("\\").lower(),
           f"the renderer runs in {folder.strip()!r}, not in the programs' folder {expected!r}")
    env.key("a")
    wait_calls(module, 1)
    expect(frontend.wait(10) == 0, "the saver run did not end after an accepted password")
    module.expect_system_module_only()
    expect(len(module.calls()) == 1, f"{len(module.calls())} password checks for one key press")
    asked = [arguments for function in LIBRARY_LOADS for pid, arguments in relay_calls(frontend, function)
             if pid == window.pid and MODULE_NAME.lower() in arguments.lower()]
    wanted = SYSTEM_MODULE.lower().replace("\\", "\\\\")  # as the trace writes it
    expect(asked and all(wanted in arguments.lower() for arguments in asked),
           f"the renderer asked for the password module with {asked}, not by its path in the system folder")


if __name__ == "__main__":
    common.run_checks([
        with_version("win98", check_refusal_keeps_running_and_asks_again),
        with_version("win98", check_one_check_at_a_time),
        with_version("win98", check_missing_module_allows_closing),
        with_version("win10", check_nt_never_asks),
        with_version("win98", check_saver_run_asks_the_system_module),
    ], __doc__)
