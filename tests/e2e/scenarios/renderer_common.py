"""Starting and judging the renderer program Solvane.dll in scenarios."""

import os
import shutil
import time

from common import HarnessError, expect, windows_binary
from contract import NAMES

RENDERER = f"bin/{NAMES.rendererFile}"
TITLE = NAMES.rendererTitle
SAVER_CLASS = NAMES.rendererClass
START_TITLE = NAMES.rendererStartTitle
START_TIMEOUT = 30
EXIT_TIMEOUT = 10
# How long a saver must stay up to count as not ended by an input.
STAYS_UP_SECONDS = 1.5


def renderer_path(args):
    return windows_binary(args, RENDERER)


def park_cursor(env, x=960, y=540):
    """Puts the pointer at a known place before a window appears under it."""
    env.mouse_move(x, y)


def start_renderer(env, args, exe=None, extra_env=None, cwd=None, winedebug=None):
    """Starts the renderer (in the current folder `cwd`) and waits for its retitled window."""
    proc = env.start(exe or renderer_path(args), extra_env=extra_env, cwd=cwd, winedebug=winedebug)
    try:
        window = env.wait_window(TITLE, timeout=START_TIMEOUT, cls=SAVER_CLASS)
    except HarnessError:
        proc.kill()
        raise
    return proc, window


def expect_ends(env, proc, what):
    try:
        rc = proc.wait(EXIT_TIMEOUT)
    except HarnessError:
        raise AssertionError(f"the renderer kept running after {what}")
    expect(rc == 0, f"the renderer ended with exit code {rc} after {what}, expected 0")
    env.wait_window_gone(TITLE, timeout=5)


def expect_stays_up(env, proc, what, seconds=STAYS_UP_SECONDS):
    """The renderer is still running, with its window, a while after `what`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        expect(proc.alive(), f"the renderer ended after {what}")
        time.sleep(0.05)
    expect(env.find_window(TITLE, SAVER_CLASS) is not None, f"the saver window went away after {what}")


def lit_share(image, step=4, floor=24):
    """Share of sampled pixels with any channel above `floor`."""
    lit = total = 0
    rgb = image.rgb
    for y in range(0, image.height, step):
        row = y * image.width * 3
        for x in range(0, image.width, step):
            i = row + x * 3
            total += 1
            if rgb[i] > floor or rgb[i + 1] > floor or rgb[i + 2] > floor:
                lit += 1
    return lit / total


def differing_share(a, b, step=4, tolerance=16):
    changed = total = 0
    for y in range(0, a.height, step):
        row = y * a.width * 3
        for x in range(0, a.width, step):
            i = row + x * 3
            total += 1
            if max(abs(a.rgb[i + k] - b.rgb[i + k]) for k in range(3)) > tolerance:
                changed += 1
    return changed / total


def renderer_copy(env, args, folder, extra_files=()):
    """The renderer copied into its own folder, with `extra_files` beside it."""
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, NAMES.rendererFile)
    shutil.copy2(renderer_path(args), exe)
    for source, name in extra_files:
        shutil.copy2(source, os.path.join(folder, name))
    return exe
