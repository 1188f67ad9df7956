#!/usr/bin/env python3
"""The move that greets the new window never ends the renderer; a move of
more than 4 pixels from the reference does; a slow drift of steps of at most
4 pixels keeps it running."""

import time

import common
from renderer_common import expect_ends, expect_stays_up, park_cursor, start_renderer

# Spacing of drift steps, so that each one is handled before the next.
STEP_SECONDS = 0.15


def check_greeting_move_then_far_move(env, args):
    park_cursor(env)
    proc, _ = start_renderer(env, args)
    expect_stays_up(env, proc, "the move that greets a window appearing under the cursor")
    env.mouse_move_rel(40, 30)
    expect_ends(env, proc, "a move of 70 pixels")


def check_five_pixels_end_it(env, args):
    park_cursor(env)
    proc, _ = start_renderer(env, args)
    expect_stays_up(env, proc, "starting", seconds=0.5)
    env.mouse_move_rel(3, 2)
    expect_ends(env, proc, "a move of 5 pixels")


def check_slow_drift_keeps_running(env, args):
    park_cursor(env)
    proc, _ = start_renderer(env, args)
    expect_stays_up(env, proc, "starting", seconds=0.5)
    for dx, dy in [(2, 2), (4, 0), (1, 3), (0, 4), (3, -1)] * 4:
        env.mouse_move_rel(dx, dy)
        time.sleep(STEP_SECONDS)
        common.expect(proc.alive(), f"a drift step of ({dx}, {dy}) ended the saver")
    expect_stays_up(env, proc, "a drift of 40 pixels in steps of at most 4")
    env.mouse_move_rel(-10, 0)
    expect_ends(env, proc, "a move of 10 pixels after the drift")


if __name__ == "__main__":
    common.run_checks([check_greeting_move_then_far_move, check_five_pixels_end_it,
                       check_slow_drift_keeps_running], __doc__)
