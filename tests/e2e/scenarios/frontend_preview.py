#!/usr/bin/env python3
"""Solvane.scr /p HWND as the screen-saver host starts it: the pane titled
"Preview Window" becomes a child of the host's window at the host's size,
ends with it, reads no settings and starts no renderer; a handle that names
no window, and a host whose process ends, leave no front end running."""

import os
import time

import common
from common import expect
from contract import NAMES
from frontend_common import Installation, pane_of, start_host
from renderer_common import TITLE as RENDERER_TITLE

WM_CLOSE = 0x0010
WS_CHILD = 0x40000000
PANE_CLASS = NAMES.previewClass
PANE_TITLE = NAMES.previewTitle
# How soon a front end whose host is no window has ended.
ENDS_WITHIN = 2


def texts(env, hwnd):
    rc, out = env.probe("texts", hwnd)
    expect(rc == 0, f"window {hwnd} is gone")
    return [line.split("\t", 1)[1] for line in out.splitlines() if "\t" in line]


def expect_no_renderer(env, install):
    expect(env.find_window(RENDERER_TITLE) is None, "a preview started the renderer")
    renderer = os.path.join(install.folder, NAMES.rendererFile)
    for pid in os.listdir("/proc"):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        expect(NAMES.rendererFile not in cmdline or renderer not in cmdline.replace("\\", "/"),
               f"a renderer process runs: {cmdline}")


def check_pane_fills_the_host_and_ends_with_it(env, args):
    install = Installation(env, args, "preview")
    install.configure(2, 0, "")
    host, host_window = start_host(env, 200, 150)
    proc = install.start("/p", host_window.hwnd, winedebug="-all,+profile")
    # The pane is made first, then becomes the host's child, is sized and
    # last shown.
    width, height = host_window.width, host_window.height
    pane = common.winenv.poll(
        lambda: (lambda p: p if p and (p.width, p.height) == (width, height) and p.visible else None)(
            pane_of(env, host_window)),
        15, what=f"a shown pane of the host's outer size {width}x{height} inside the host")
    expect(texts(env, pane.hwnd)[0] == PANE_TITLE, f"pane titled {texts(env, pane.hwnd)}")
    rc, out = env.probe("style", pane.hwnd)
    expect(rc == 0, "the pane went away")
    style, parent = int(out.split()[0], 16), int(out.split()[1])
    expect(style & WS_CHILD, f"the pane's style {style:#x} lacks WS_CHILD")
    expect(parent == host_window.hwnd, f"the pane's parent is {parent}, not the host {host_window.hwnd}")
    expect(env.send(pane.hwnd, 0x0000, 0, 0) == 0, "the pane does not answer")  # WM_NULL
    expect_no_renderer(env, install)
    env.close_window(host_window.hwnd)
    expect(host.wait(10) == 0, "the host did not close")
    rc = proc.wait(5)
    expect(rc == 0, f"the front end ended with {rc}")
    expect("solvane.ini" not in proc.stderr().lower(), "a preview read the settings file")


def gone_host_handle(env):
    """The handle of a host window that has been closed."""
    host, window = start_host(env, 152, 112)
    env.close_window(window.hwnd)
    expect(host.wait(10) == 0, "the host did not close")
    try:
        env.children(window.hwnd)
    except common.HarnessError:
        return window.hwnd
    raise AssertionError(f"the closed host's window {window.hwnd} is still a window")


def check_a_host_that_is_no_window_ends_the_front_end(env, args):
    """No number, 0, numbers that name no window, and a closed host's handle:
    nothing anybody could ever close is left; the front end has ended."""
    install = Installation(env, args, "preview-no-host")
    gone = gone_host_handle(env)
    for arguments in (["/p"], ["/p", "0"], ["/p", gone], ["/p", "123456789"], ["/p", "4294967296"], ["/p:abc"]):
        proc = install.start(*arguments)
        try:
            rc = proc.wait(ENDS_WITHIN)
        except common.HarnessError:
            raise AssertionError(f"{arguments}: the front end still runs {ENDS_WITHIN} s after its start")
        expect(rc == 0, f"{arguments}: the front end ended with {rc}")
        expect(env.find_window(PANE_TITLE, PANE_CLASS) is None, f"{arguments}: a pane was left")
        expect_no_renderer(env, install)


def check_a_host_that_goes_away_ends_the_front_end(env, args):
    """The host's process ends while the pane shows (no close for the pane):
    the front end ends too."""
    install = Installation(env, args, "preview-host-gone")
    host, host_window = start_host(env, 152, 112)
    proc = install.start("/p", host_window.hwnd)
    common.winenv.poll(lambda: (lambda p: p is not None and p.visible)(pane_of(env, host_window)), 15,
                       what="the pane shown inside the host")
    rc, _ = env.probe("terminate", host_window.pid)
    expect(rc == 0, "could not end the host from outside")
    ended = time.monotonic()
    try:
        rc = proc.wait(ENDS_WITHIN)
    except common.HarnessError:
        raise AssertionError(f"the front end still runs {ENDS_WITHIN} s after its host's process ended")
    print(f"     the front end ended {time.monotonic() - ended:.2f} s after its host", flush=True)
    expect(rc == 0, f"the front end ended with {rc}")


def check_nothing_while_a_saver_run_or_dialog_exists(env, args):
    install = Installation(env, args, "preview-blocked")
    host, host_window = start_host(env, 152, 112)
    for title in (NAMES.saverRunTitle, NAMES.settingsDialogTitle):
        holder = env.start(env.probe_exe, ["hold", "SolvaneProbeHold", title, 60000])
        env.wait_window(title, timeout=15)
        proc = install.start("/p", host_window.hwnd)
        expect(proc.wait(10) == 0, f"/p beside {title!r} did not end at once")
        expect(pane_of(env, host_window) is None, f"a pane appeared beside {title!r}")
        env.close_window(env.find_window(title).hwnd)
        holder.wait(10)
    env.close_window(host_window.hwnd)
    host.wait(10)


if __name__ == "__main__":
    common.run_checks([
        check_pane_fills_the_host_and_ends_with_it,
        check_a_host_that_is_no_window_ends_the_front_end,
        check_a_host_that_goes_away_ends_the_front_end,
        check_nothing_while_a_saver_run_or_dialog_exists,
    ], __doc__)
