#!/usr/bin/env python3
"""How Solvane.scr answers each request on its command line: one instance at
a time, the missing-renderer message, the cursor for /s only, and the
requests that end at once."""

import time

import common
from common import expect
from contract import NAMES
from frontend_common import SAVER_RUN_TITLE, Installation, cursor_calls, pane_of, start_host, wait_saver_run
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

MISSING_RENDERER = "Solvane.dll が Solvane.scr と同じﾌｫﾙﾀﾞに見つかりません！"
QUICK_EXIT = 10


def expect_quick_exit(proc, what):
    started = time.monotonic()
    rc = proc.wait(QUICK_EXIT)
    expect(rc == 0, f"{what}: exit code {rc}")
    return time.monotonic() - started


def check_second_instance_ends_at_once(env, args):
    install = Installation(env, args, "second")
    install.configure(0)
    park_cursor(env)
    first = install.start("/s")
    wait_saver_run(env)
    for arguments in (["/s"], ["/p", "1234"], ["/c"], []):
        second = install.start(*arguments, winedebug="-all,+cursor")
        expect_quick_exit(second, f"a second start with {arguments}")
        expect(cursor_calls(second) == [], f"a second instance touched the cursor: {cursor_calls(second)}")
    expect(first.alive(), "the running saver went with the second start")
    env.key("space")
    expect(first.wait(10) == 0, "the saver run did not end")


def message_box_texts(env, title=NAMES.messageTitle):
    box = env.wait_window(title, timeout=15)
    rc, out = env.probe("texts", box.hwnd)
    expect(rc == 0, "could not read the message box")
    return box, [line.split("\t", 1)[1] for line in out.splitlines() if "\t" in line]


def check_missing_renderer_is_reported(env, args):
    install = Installation(env, args, "missing", with_renderer=False)
    install.configure(0)
    for arguments in (["/s"], ["/c"]):
        proc = install.start(*arguments)
        box, texts = message_box_texts(env)
        expect(MISSING_RENDERER in texts, f"message box for {arguments} shows {texts}")
        expect(any(t in ("OK",) for t in texts), f"the message box has no OK button: {texts}")
        env.post(box.hwnd, 0x0010)
        expect_quick_exit(proc, f"{arguments} after the message")
        expect(env.find_window(RENDERER_TITLE) is None and env.find_window(SAVER_RUN_TITLE) is None,
               "something was started without a renderer")
    host, host_window = start_host(env, 152, 112)
    proc = install.start("/p", host_window.hwnd)
    common.winenv.poll(lambda: pane_of(env, host_window), 15, what="the pane inside the host")
    expect(env.find_window(NAMES.messageTitle) is None, "a preview request showed the missing-renderer message")
    env.close_window(host_window.hwnd)
    expect(host.wait(10) == 0, "the host did not close")
    expect_quick_exit(proc, "/p without a renderer")


def check_cursor_is_hidden_for_s_only(env, args):
    install = Installation(env, args, "cursor")
    install.configure(0)
    for arguments, expected in ((["/s"], [(0, -1), (-1, 0)]), ([], [])):
        park_cursor(env)
        proc = install.start(*arguments, winedebug="-all,+cursor")
        wait_saver_run(env)
        env.key("space")
        expect(proc.wait(10) == 0, f"the run with {arguments} did not end")
        expect(cursor_calls(proc) == expected, f"ShowCursor calls for {arguments}: {cursor_calls(proc)}")


def check_other_requests_end_at_once(env, args):
    install = Installation(env, args, "other")
    install.configure(0)
    for arguments in (["/a"], ["s"], ["/"], ["x"]):
        proc = install.start(*arguments, winedebug="-all,+cursor")
        expect_quick_exit(proc, f"the request {arguments}")
        expect(cursor_calls(proc) == [], f"{arguments} touched the cursor")
        expect(env.find_window(RENDERER_TITLE) is None, f"{arguments} started the renderer")


if __name__ == "__main__":
    common.run_checks([
        check_second_instance_ends_at_once,
        check_missing_renderer_is_reported,
        check_cursor_is_hidden_for_s_only,
        check_other_requests_end_at_once,
    ], __doc__)
