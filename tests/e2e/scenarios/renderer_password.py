#!/usr/bin/env python3
"""On Windows 98 the renderer asks PASSWORD.CPL before it closes: a refusal
keeps it running and the next input asks again, an acceptance or a missing
module ends it; on an NT version the module is never consulted."""

import os

import common
from common import expect, scratch_dir, windows_binary
from renderer_common import (TITLE, expect_ends, expect_stays_up, park_cursor, renderer_copy,
                             start_renderer)

PASSWORD_MODULE = "tests/e2e/password_cpl/PASSWORD.CPL"


class PasswordModule:
    """The test module beside a copy of the renderer, its answer and its log."""

    def __init__(self, env, args, name, with_module=True):
        folder = scratch_dir(env, name)
        extra = [(windows_binary(args, PASSWORD_MODULE), "PASSWORD.CPL")] if with_module else []
        self.exe = renderer_copy(env, args, os.path.join(folder, "saver"), extra)
        self.answer_file = os.path.join(folder, "answer.txt")
        self.log_file = os.path.join(folder, "calls.log")
        self.answer(1)
        self.env = {"SOLVANE_PASSWORD_ANSWER_FILE": env.winpath(self.answer_file),
                    "SOLVANE_PASSWORD_LOG": env.winpath(self.log_file)}

    def answer(self, value):
        with open(self.answer_file, "w") as f:
            f.write(f"{value}\n")

    def calls(self):
        if not os.path.exists(self.log_file):
            return []
        with open(self.log_file) as f:
            return [line.split() for line in f if line.startswith("call")]


def saver_running(env):
    rc, out = env.probe("saver-running")
    expect(rc == 0, f"probe saver-running failed ({rc})")
    return int(out)


def wait_calls(module, count, timeout=10):
    common.winenv.poll(lambda: len(module.calls()) >= count, timeout, what=f"{count} password checks")
    return module.calls()


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
    fields = dict(item.split("=", 1) for item in calls[0][1:])
    expect(int(fields["owner"]) == window.hwnd, f"dialog owner {fields['owner']}, saver window {window.hwnd}")
    expect(fields["title"] == TITLE, f"owner titled {fields['title']!r}")
    expect(fields["running"] == "1", f"screen saver not marked running during the check: {fields}")
    expect(len(module.calls()) == 1, f"asked {len(module.calls())} times for one key press")
    expect(saver_running(env) == 0, "the screen saver is still marked running after the check")

    module.answer(1)
    env.click("left")
    wait_calls(module, 2)
    expect_ends(env, proc, "an accepted password")


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
        with_version("win98", check_missing_module_allows_closing),
        with_version("win10", check_nt_never_asks),
    ], __doc__)
