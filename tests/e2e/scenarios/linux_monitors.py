#!/usr/bin/env python3
"""The native Linux program `solvane` on the two-monitor screen: in the root
window and in a full-screen window of its own it draws one complete picture
per monitor (the picture the offscreen core draws for a screen of that
monitor's size, from the same seed and clock) and keeps the rest black."""

import os
import subprocess
import time

import common
from common import expect, scratch_dir
from media import Image
from renderer_common import differing_share, lit_share

SEED, STEP_MS, FRAMES = 31337, 16, 5


def add_arguments(parser):
    parser.add_argument("--solvane", required=True, help="the native program")
    parser.add_argument("--render-frames", required=True, help="the offscreen frame renderer")


def monitor_rects(env):
    expect(len(env.monitors) == 2, f"the display has {env.monitors}, not two monitors")
    return env.monitors


def reference_frame(env, args, folder):
    """Frame FRAMES of the whole screen from the offscreen core, a scene per monitor."""
    width, height = env.screen
    command = [args.render_frames, "--format", "rgb", "--width", width, "--height", height, "--frames", FRAMES,
               "--every", FRAMES, "--seed", SEED, "--step-ms", STEP_MS, "--out", folder]
    for left, top, right, bottom in monitor_rects(env):
        command += ["--monitor", f"{left},{top},{right - left},{bottom - top}"]
    subprocess.run([str(a) for a in command], check=True, capture_output=True, timeout=120)
    with open(os.path.join(folder, f"frame-{FRAMES:04d}.rgb"), "rb") as f:
        return Image(width, height, f.read())


def mean_difference(a, b):
    return sum(abs(x - y) for x, y in zip(a.rgb[::7], b.rgb[::7])) / max(1, len(a.rgb[::7]))


def expect_picture_per_monitor(env, args, name, mode_args):
    folder = scratch_dir(env, f"linux-{name}")
    dump = os.path.join(folder, "frame.rgb")
    proc = env.spawn([args.solvane, *mode_args, "--seed", str(SEED), "--step-ms", str(STEP_MS),
                      "--dump-after", str(FRAMES), dump], name=f"solvane-{name}")
    rc = proc.wait(60)
    expect(rc == 0, f"solvane {' '.join(mode_args)} ended with {rc}: {proc.stderr()[-500:]}")
    with open(dump, "rb") as f:
        ours = Image(*env.screen, f.read())
    theirs = reference_frame(env, args, os.path.join(folder, "reference"))
    for index, rect in enumerate(monitor_rects(env)):
        part, reference = ours.crop(*rect), theirs.crop(*rect)
        difference = mean_difference(part, reference)
        print(f"     {name}, monitor {index}: lit {lit_share(part):.1%}, mean difference {difference:.3f}")
        expect(lit_share(part) > 0.02, f"monitor {index} is dark with {name}")
        expect(difference < 1.5, f"monitor {index} does not show its own picture with {name}")
    short = min(monitor_rects(env), key=lambda r: r[3] - r[1])
    gap = ours.crop(short[0], short[3], short[2], env.screen[1])
    expect(lit_share(gap, step=2, floor=8) == 0, f"the area no monitor shows is lit with {name}")


def check_root_window(env, args):
    expect_picture_per_monitor(env, args, "root", ["-root"])


def check_own_window(env, args):
    expect_picture_per_monitor(env, args, "own", [])
    # Live: both monitors glow and move, and a key ends it.
    env.mouse_move(960, 540)
    proc = env.spawn([args.solvane], name="solvane-live")
    parts = lambda image: [image.crop(*r) for r in monitor_rects(env)]  # noqa: E731
    first = common.winenv.poll(lambda: (lambda i: i if min(map(lit_share, parts(i))) > 0.05 else None)(
        env.capture()), 30, what="glow on both monitors")
    common.winenv.poll(lambda: min(differing_share(a, b) for a, b in zip(parts(first), parts(env.capture())))
                       > 0.02, 10, what="both pictures to move")
    # The pointer's greeting move never ends it.
    deadline = time.monotonic() + 0.3
    while time.monotonic() < deadline:
        expect(proc.alive(), "solvane ended by itself")
        time.sleep(0.05)
    env.key("space")
    expect(proc.wait(10) == 0, "solvane did not end cleanly on a key")


if __name__ == "__main__":
    common.run_checks([check_root_window, check_own_window], __doc__, add_arguments)
