#!/usr/bin/env python3
"""A key press and the left, right and middle buttons end the renderer with
exit code 0; releasing a key, turning the wheel and the side buttons do not."""

import common
from renderer_common import expect_ends, expect_stays_up, park_cursor, start_renderer


def ends_on(action, what):
    def check(env, args):
        park_cursor(env)
        proc, _ = start_renderer(env, args)
        expect_stays_up(env, proc, "starting under a resting cursor", seconds=0.5)
        action(env)
        expect_ends(env, proc, what)
    check.__name__ = f"check_{what.replace(' ', '_')}_ends_the_saver"
    return check


def check_other_input_does_not_end(env, args):
    park_cursor(env)
    proc, _ = start_renderer(env, args)
    env.key_up("a")
    expect_stays_up(env, proc, "a key release")
    env.wheel(2)
    env.wheel(-2)
    expect_stays_up(env, proc, "turning the wheel")
    env.xdotool("click", 8)
    env.xdotool("click", 9)
    expect_stays_up(env, proc, "the side buttons")
    env.key("Return")
    expect_ends(env, proc, "a key press after them")


if __name__ == "__main__":
    common.run_checks([
        ends_on(lambda env: env.key("a"), "key press"),
        ends_on(lambda env: env.click("left"), "left button"),
        ends_on(lambda env: env.click("right"), "right button"),
        ends_on(lambda env: env.click("middle"), "middle button"),
        check_other_input_does_not_end,
    ], __doc__)
