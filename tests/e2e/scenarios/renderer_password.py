#!/usr/bin/env python3
"""On Windows 98 the renderer asks PASSWORD.CPL before it closes: a refusal
keeps it running and only new input asks again, an acceptance or a missing
module ends it; close requests that arrive while the dialog is open start no
second check; on an NT version the module is never consulted."""

import os

import common
from common import HarnessError, expect, scratch_dir, windows_binary
from renderer_common import (SAVER_CLASS, TITLE, expect_ends, expect_stays_up, park_cursor, renderer_copy,
                             start_renderer)

PASSWORD_MODULE = "tests/e2e/password_cpl/PASSWORD.CPL"
WM_CLOSE = 0x0010


class PasswordModule:
    """The test module beside a copy of the renderer, its answer and its log."""

    def __init__(self, env, args, name, with_module=True):
        folder = scratch_dir(env, name)
        extra = [(windows_binary(args, PASSWORD_MODULE), "PASSWORD.CPL")] if with_module else []
        self.exe = renderer_copy(env, args, os.path.join(folder, "saver"), extra)
        self.answer_file = os.path.join(folder, "answer.txt")
        self.log_file = os.path.join(folder, "calls.log")
        self.release_file = os.path.join(folder, "release")
        self.answer(1)
        self.env = {"SOLVANE_PASSWORD_ANSWER_FILE": env.winpath(self.answer_file),
                    "SOLVANE_PASSWORD_LOG": env.winpath(self.log_file),
                    "SOLVANE_PASSWORD_RELEASE_FILE": env.winpath(self.release_file)}

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
    module = PasswordModule(env, args, "password-refused")
    module.answer(0)
    park_cursor(env)
    proc, window = start_renderer(env, args, exe=module.exe, extra_env=module.env)
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
    module = PasswordModule(env, args, "password-once")
    module.answer(1, hold=True)
    park_cursor(env)
    proc, window = start_renderer(env, args, exe=module.exe, extra_env=module.env)
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
    module = PasswordModule(env, args, "password-missing", with_module=False)
    park_cursor(env)
    proc, _ = start_renderer(env, args, exe=module.exe, extra_env=module.env)
    env.key("a")
    expect_ends(env, proc, "a key press without PASSWORD.CPL")


def check_nt_never_asks(env, args):
    module = PasswordModule(env, args, "password-nt")
    module.answer(0)
    park_cursor(env)
    proc, _ = start_renderer(env, args, exe=module.exe, extra_env=module.env)
    env.key("a")
    expect_ends(env, proc, "a key press on an NT version")
    expect(module.calls() == [], f"PASSWORD.CPL was consulted on NT: {module.calls()}")


if __name__ == "__main__":
    common.run_checks([
        with_version("win98", check_refusal_keeps_running_and_asks_again),
        with_version("win98", check_one_check_at_a_time),
        with_version("win98", check_missing_module_allows_closing),
        with_version("win10", check_nt_never_asks),
    ], __doc__)
