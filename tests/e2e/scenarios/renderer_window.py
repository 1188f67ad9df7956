#!/usr/bin/env python3
"""The renderer covers the screen with its window titled Brisel_VC and
animates coloured glow on black; it asks the driver for one swap per
refresh."""

import time

import common
from common import expect
from renderer_common import (START_TIMEOUT, differing_share, expect_ends, lit_share, park_cursor,
                             start_renderer)


def check_covers_the_screen_and_animates(env, args):
    park_cursor(env)
    proc, window = start_renderer(env, args)
    width, height = env.screen_metrics()
    expect(window.rect == (0, 0, width, height),
           f"saver window at {window.rect}, the screen is {width}x{height}")
    expect(window.visible, "the saver window is not visible")

    # Poll until the glow has built up on screen (bounded), then look again.
    deadline = time.monotonic() + START_TIMEOUT
    first = env.capture()
    while lit_share(first) < 0.05 and time.monotonic() < deadline:
        first = env.capture()
    share = lit_share(first)
    print(f"     lit share of the screen: {share:.1%}")
    expect(share >= 0.05, f"only {share:.1%} of the screen is lit: no glow")

    deadline = time.monotonic() + 10
    second = env.capture()
    while differing_share(first, second) < 0.02 and time.monotonic() < deadline:
        second = env.capture()
    changed = differing_share(first, second)
    print(f"     changed between two screenshots: {changed:.1%}")
    expect(changed >= 0.02, "the picture does not move")
    expect(proc.alive(), "the renderer ended while nobody touched it")

    env.key("space")
    expect_ends(env, proc, "a key press")


def check_asks_for_one_swap_per_refresh(env, args):
    park_cursor(env)
    proc, _ = start_renderer(env, args, winedebug="+wgl")
    env.key("space")
    expect_ends(env, proc, "a key press")
    trace = proc.stderr()
    offered = "register_extension 'WGL_EXT_swap_control'" in trace
    expect(offered, "Wine's opengl32 did not offer WGL_EXT_swap_control: nothing to ask")
    expect("wglSwapIntervalEXT (1)" in trace, "the renderer did not ask for a swap interval of 1")
    honoured = "swap interval is not handled" not in trace
    print(f"     asked for a swap interval of 1; the driver {'keeps to it' if honoured else 'ignores it'}")


if __name__ == "__main__":
    common.run_checks([check_covers_the_screen_and_animates, check_asks_for_one_swap_per_refresh], __doc__)
