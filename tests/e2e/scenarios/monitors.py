#!/usr/bin/env python3
"""On a screen of two monitors (Xorg's dummy driver, 1920x1080 primary and
1280x720 to its right): the saver covers both, each with a complete picture
of its own, the area no monitor shows stays black, input on either monitor
ends a full saver run with music, and a new layout during a run is followed."""

import time

import common
from common import expect, scratch_dir
from frontend_common import (CLOSE_TRACE, MP3_STOPPED, Installation, Recording, expect_close_step, make_tone,
                             wait_saver_run)
from renderer_common import (START_TIMEOUT, TITLE, differing_share, expect_ends, expect_stays_up, lit_share,
                             start_renderer)
import displays

LEFT_OF_PRIMARY = "1920x1080+0+0,1280x720+-1280+0"


def windows_monitors(env):
    """(virtual screen, [monitor rects]) as Wine reports them."""
    rc, out = env.probe("monitors")
    expect(rc == 0, f"probe monitors failed ({rc})")
    rects = [tuple(int(v) for v in line.split()[:4]) for line in out.splitlines() if line.strip()]
    return rects[0], rects[1:]


def to_x(rect, screen):
    """A Windows screen rectangle in X coordinates (X starts at 0,0)."""
    return (rect[0] - screen[0], rect[1] - screen[1], rect[2] - screen[0], rect[3] - screen[1])


def centre(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


def uncovered_below(monitors, screen):
    """The strip under the shorter monitor, in X coordinates."""
    short = min(monitors, key=lambda r: r[3] - r[1])
    return (short[0], short[3], short[2], screen[3] - screen[1])


def expect_every_monitor_lit_and_moving(env, monitors, gap):
    """Each monitor's part of the screen glows and moves; the gap stays black."""
    def parts(image):
        return [image.crop(*m) for m in monitors]

    deadline = time.monotonic() + START_TIMEOUT
    first = env.capture()
    while min(lit_share(p) for p in parts(first)) < 0.05 and time.monotonic() < deadline:
        first = env.capture()
    shares = [lit_share(p) for p in parts(first)]
    print(f"     lit share of each monitor: {', '.join(f'{s:.1%}' for s in shares)}")
    expect(min(shares) >= 0.05, f"a monitor is not lit: {shares}")
    black = lit_share(first.crop(*gap), step=2, floor=8)
    expect(black == 0, f"{black:.1%} of the area no monitor shows is lit")

    deadline = time.monotonic() + 10
    second = env.capture()
    while min(differing_share(a, b) for a, b in zip(parts(first), parts(second))) < 0.02 and \
            time.monotonic() < deadline:
        second = env.capture()
    changed = [differing_share(a, b) for a, b in zip(parts(first), parts(second))]
    print(f"     changed on each monitor: {', '.join(f'{c:.1%}' for c in changed)}")
    expect(min(changed) >= 0.02, f"a monitor's picture does not move: {changed}")
    return first


def check_saver_run_covers_every_monitor(env, args):
    screen, monitors = windows_monitors(env)
    expect(len(monitors) == 2, f"Wine reports {monitors}, not two monitors")
    x_monitors = [to_x(m, screen) for m in monitors]
    install = Installation(env, args, "monitors-run")
    install.configure(2, 0, make_tone(scratch_dir(env, "monitors-run"), "tone.mp3", 3.0))
    env.mouse_move(*centre(x_monitors[0]))
    env.record_start()
    started = time.monotonic()
    frontend = install.start("/s", winedebug=CLOSE_TRACE)
    window, _ = wait_saver_run(env, timeout=START_TIMEOUT)
    up = time.monotonic() - started
    expect(window.rect == screen, f"the saver window is {window.rect}, the monitors span {screen}")
    picture = expect_every_monitor_lit_and_moving(env, x_monitors, uncovered_below(x_monitors, screen))
    picture_path = env.screenshot()
    print(f"     screenshot: {picture_path}")
    expect(picture.width == screen[2] - screen[0], "the screenshot is not the whole screen")

    env.key("space")
    rc = frontend.wait(10)
    ended = time.monotonic() - started
    expect(rc == 0, f"the front end ended with {rc}")
    env.wait_window_gone(TITLE, timeout=5)
    common.winenv.poll(lambda: env.recorded_seconds() >= ended + 1.2, 10, what="the tail recording")
    sound = Recording(env.record_stop())
    playing = sound.level(up + 1.0, ended - 0.5)
    after = sound.level(ended + 0.3, ended + 1.1)
    print(f"     music level while running {playing:.3f}, after the end {after:.4f}")
    expect(playing > 0.05, f"the MP3 is not heard during the run (level {playing:.3f})")
    expect(after < 0.005, "the music goes on after the run")
    expect_close_step(frontend, MP3_STOPPED)


def check_input_on_either_monitor_ends_the_run(env, args):
    screen, monitors = windows_monitors(env)
    install = Installation(env, args, "monitors-input")
    install.configure(2, 0, make_tone(scratch_dir(env, "monitors-input"), "tone.mp3", 3.0))
    inputs = {
        "a key": lambda: env.key("space"),
        "a click": lambda: env.click("left"),
        "a move of 10 pixels": lambda: env.mouse_move_rel(-10, 0),
    }
    for index, monitor in enumerate(to_x(m, screen) for m in monitors):
        for what, give in inputs.items():
            env.mouse_move(*centre(monitor))
            frontend = install.start("/s")
            proc = env.wait_window(TITLE, timeout=START_TIMEOUT)
            expect(proc.rect == screen, f"the saver window is {proc.rect}, the monitors span {screen}")
            # The move greeting the new window never ends it.
            expect_stays_up(env, frontend, f"the greeting move on monitor {index}", seconds=0.5)
            give()
            try:
                rc = frontend.wait(10)
            except common.HarnessError:
                raise AssertionError(f"{what} on monitor {index} did not end the saver run")
            expect(rc == 0, f"the front end ended with {rc} after {what} on monitor {index}")
            env.wait_window_gone(TITLE, timeout=5)
            print(f"     {what} on monitor {index} ended the run")


def check_new_layout_during_a_run_is_followed(env, args):
    proc, window = start_renderer(env, args)
    original = env.monitors
    try:
        displays.apply_layout(env.display, displays.parse_layout(LEFT_OF_PRIMARY))
        screen = common.winenv.poll(lambda: (lambda s: s if s[0][0] < 0 else None)(windows_monitors(env)), 20,
                                    what="Wine to report the monitor left of the primary")[0]
        common.winenv.poll(lambda: (lambda w: w and w.rect == screen)(env.find_window(TITLE)), 20,
                           what=f"the saver window to cover {screen}")
        _, monitors = windows_monitors(env)
        x_monitors = [to_x(m, screen) for m in monitors]
        expect_every_monitor_lit_and_moving(env, x_monitors, uncovered_below(x_monitors, screen))
        expect_stays_up(env, proc, "the new layout")
        env.key("space")
        expect_ends(env, proc, "a key press after the new layout")
    finally:
        layout = ",".join(f"{r[2] - r[0]}x{r[3] - r[1]}+{r[0]}+{r[1]}" for r in original)
        displays.apply_layout(env.display, displays.parse_layout(layout))
        common.winenv.poll(lambda: windows_monitors(env)[0][0] == 0, 20, what="the first layout to come back")


if __name__ == "__main__":
    common.run_checks([check_saver_run_covers_every_monitor, check_input_on_either_monitor_ends_the_run,
                       check_new_layout_during_a_run_is_followed], __doc__)
