#!/usr/bin/env python3
"""Close requests from other programs before any input are ignored, and the
screen-saver system command is swallowed; a second saver does not start
beside a window of the saver class titled Screensaver."""

import time

import common
from common import expect
from renderer_common import (SAVER_CLASS, START_TITLE, TITLE, expect_ends, expect_stays_up, park_cursor,
                             renderer_path, start_renderer)

WM_CLOSE = 0x0010
WM_SYSCOMMAND = 0x0112
SC_SCREENSAVE = 0xF140
SC_CLOSE = 0xF060


def check_close_before_input_is_ignored(env, args):
    park_cursor(env)
    proc, window = start_renderer(env, args)
    env.post(window.hwnd, WM_CLOSE)
    env.post(window.hwnd, WM_SYSCOMMAND, SC_CLOSE)
    expect_stays_up(env, proc, "WM_CLOSE from another process")
    env.post(window.hwnd, WM_SYSCOMMAND, SC_SCREENSAVE)
    expect_stays_up(env, proc, "WM_SYSCOMMAND SC_SCREENSAVE")
    env.key("Escape")
    expect_ends(env, proc, "a key press")


def check_existing_saver_window_wins(env, args):
    park_cursor(env)
    holder = env.start(env.probe_exe, ["hold", SAVER_CLASS, START_TITLE, 60000,
                                       "--geometry", 200, 150, 400, 300])
    held = env.wait_window(START_TITLE, timeout=15, cls=SAVER_CLASS)
    started = time.monotonic()
    proc = env.start(renderer_path(args))
    rc = proc.wait(15)
    print(f"     the second saver exited after {time.monotonic() - started:.2f} s")
    expect(rc == 0, f"the second saver exited with {rc}, expected 0")
    expect(env.find_window(TITLE) is None, "the second saver opened its window")
    foreground = env.foreground()
    expect(foreground is not None and foreground[0] == held.hwnd,
           f"foreground is {foreground}, expected the existing saver window {held.hwnd}")
    env.close_window(held.hwnd)
    expect(holder.wait(10) == 0, "the holding window did not close")


if __name__ == "__main__":
    common.run_checks([check_close_before_input_is_ignored, check_existing_saver_window_wins], __doc__)
