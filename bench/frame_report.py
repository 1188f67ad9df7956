"""The frame report the renderer's benchmark build writes at exit, the
frame rate it gives, and the Windows programs the benchmarks run."""
import argparse
import os
import re
import statistics
import time
import types

from contract import NAMES
from winenv import poll

# Where the cursor rests during every run: the renderer would end on a move,
# and the floor program starts after the same step, so that both start alike.
REST = (960, 540)


def bench_arguments(doc, root, **counts):
    """A benchmark's command line: --build, and an integer option with its
    default for each of `counts` (seconds=5 gives --seconds 5)."""
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(root, "build"))
    for name, default in counts.items():
        parser.add_argument(f"--{name}", type=int, default=default)
    return parser.parse_args()


def native_frame_rate(stderr):
    """The median of the rates `solvane -fps` printed, the first left out:
    it counts the start-up."""
    rates = [float(v) for v in re.findall(r"([\d.]+) fps", stderr)]
    return statistics.median(rates[1:] or rates)


def bench_programs(build, folder_name):
    """The benchmark's own folder under the build (made if missing) and the
    Windows programs it runs: the renderer's benchmark build, the floor
    program and the harness probe."""
    windows = os.path.join(build, "windows")
    folder = os.path.join(build, folder_name)
    os.makedirs(folder, exist_ok=True)
    return types.SimpleNamespace(
        folder=folder,
        counter=os.path.join(windows, "bench", "renderer_frame_counter.exe"),
        floor=os.path.join(windows, "bench", "floor_frames.exe"),
        probe=os.path.join(windows, "tests", "e2e", "probe", "probe.exe"))


# The floor program's modes: the clear-and-two-quads floor, and the picture
# floor (the feedback square's round trip and one quad per monitor).
TWO_QUADS = None
PICTURE = "picture"


def run_floor(env, exe, path, seconds, mode=TWO_QUADS):
    """Runs the floor program for `seconds` under the resting cursor; returns
    its report and when the driver started it, in Unix milliseconds."""
    env.mouse_move(*REST)
    started = time.time() * 1000
    env.start(exe, [env.winpath(path), seconds] + ([mode] if mode else [])).wait(seconds + 60)
    return read_frame_report(path), started


def read_frame_report(path):
    poll(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 30, what=f"the report {path}")
    with open(path) as f:
        return {key: float(value) for key, value in (item.split("=") for item in f.read().split())}


def frames_per_second(report):
    span = (report["last_frame_unix_ms"] - report["first_frame_unix_ms"]) / 1000.0
    return (report["frames"] - 1) / span if span > 0 else 0.0


def paired_ratio(ours, floors):
    """The median of the ratios of runs made one right after the other: a
    machine that slows down for a while slows both runs of a pair."""
    ratios = [o / f for o, f in zip(ours, floors) if f > 0]
    return statistics.median(ratios), ratios


def run_frame_counter(env, exe, path, seconds, unpaced=True, during=None):
    """Runs the renderer's benchmark build for about `seconds` under a resting
    cursor, ends it with a key; returns its report and the driver's own
    times (start, key press, exit) in Unix milliseconds. Unpaced it draws as
    fast as GL can, so that its frame rate measures the GL work; `during`,
    if given, is called with the process once the window is up and replaces
    the plain wait of `seconds`."""
    env.mouse_move(*(min(REST[0], env.screen[0] // 2), min(REST[1], env.screen[1] // 2)))
    # The probe that waits for the window is up before the renderer starts:
    # a Wine process starting beside it delays its start by some 60 ms.
    window = env.watch_window(NAMES.rendererTitle, timeout=60)
    started = time.time() * 1000
    proc = env.start(exe, (["--unpaced"] if unpaced else []) + [env.winpath(path)])
    try:
        window()
    except Exception:
        state = "running" if proc.alive() else f"ended with {proc.wait(1)}"
        print(f"no renderer window; the renderer {state}; {proc.stderr()[-2000:]}")
        raise
    if during:
        during(proc)
    else:
        time.sleep(seconds)  # the measured stretch of frames
    pressed = time.time() * 1000
    env.key("space")
    proc.wait(30)
    exited = time.time() * 1000
    return read_frame_report(path), started, pressed, exited
