#!/usr/bin/env python3
"""Solvane.dll's own frame loop under Wine at 1920x1080 against a floor
program in the same kind of window and pixel format, run side by side on one
display; then start-to-first-frame and input-to-exit times over repeated runs.

  python3 bench/wine_renderer_bench.py [--build build] [--seconds 8] [--runs 10]
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))

from winenv import Env, poll  # noqa: E402


def read_report(path):
    poll(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 30, what=f"the report {path}")
    with open(path) as f:
        return {k: float(v) for k, v in (item.split("=") for item in f.read().split())}


def fps(report):
    span = (report["last_frame_unix_ms"] - report["first_frame_unix_ms"]) / 1000.0
    return (report["frames"] - 1) / span if span > 0 else 0.0


def run_floor(env, exe, folder, seconds, index):
    path = os.path.join(folder, f"floor-{index}.txt")
    proc = env.start(exe, [env.winpath(path), seconds])
    proc.wait(seconds + 60)
    return fps(read_report(path))


def run_renderer(env, exe, folder, seconds, index):
    """Runs the renderer for about `seconds`, ends it with a key; returns its
    report and the driver's own times (start, key press, exit), Unix ms."""
    path = os.path.join(folder, f"renderer-{index}.txt")
    env.mouse_move(960, 540)
    started = time.time() * 1000
    proc = env.start(exe, [env.winpath(path)])
    try:
        env.wait_window("Brisel_VC", timeout=60)
    except Exception:
        state = "running" if proc.alive() else f"ended with {proc.wait(1)}"
        print(f"renderer run {index}: no window; the renderer {state}; {proc.stderr()[-2000:]}")
        raise
    time.sleep(seconds)  # the measured stretch of frames
    pressed = time.time() * 1000
    env.key("space")
    proc.wait(30)
    exited = time.time() * 1000
    report = read_report(path)
    return report, started, pressed, exited


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--seconds", type=int, default=8)
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    windows = os.path.join(args.build, "windows")
    folder = os.path.join(args.build, "bench-wine")
    os.makedirs(folder, exist_ok=True)
    state = os.path.join(folder, "state.json")
    winenv = os.path.join(ROOT, "tools", "harness", "winenv.py")
    subprocess.run([sys.executable, winenv, "setup", "--state", state, "--prefix", os.path.join(folder, "prefix"),
                    "--probe", os.path.join(windows, "tests", "e2e", "probe", "probe.exe")], check=True)
    counter = os.path.join(windows, "bench", "renderer_frame_counter.exe")
    floor = os.path.join(windows, "bench", "floor_frames.exe")
    try:
        with Env(state) as env:
            floors, ours = [], []
            for index in range(3):  # alternate, so both see the same machine
                floors.append(run_floor(env, floor, folder, args.seconds, index))
                report, *_ = run_renderer(env, counter, folder, args.seconds, index)
                ours.append(fps(report))
            ratio = statistics.median(ours) / statistics.median(floors)
            print(f"under Wine at 1920x1080, {args.seconds} s a run, medians of 3")
            print(f"renderer frame loop: {statistics.median(ours):7.1f} frames/s  {['%.1f' % v for v in ours]}")
            print(f"floor program:       {statistics.median(floors):7.1f} frames/s  {['%.1f' % v for v in floors]}")
            print(f"ratio renderer / floor: {ratio:.3f} (goal: at least 0.8)")

            first_frame, to_exit = [], []
            for index in range(args.runs):
                report, started, pressed, exited = run_renderer(env, counter, folder, 1, 100 + index)
                first_frame.append(report["first_frame_unix_ms"] - started)
                to_exit.append(exited - pressed)
            print(f"start to first frame: median {statistics.median(first_frame):.0f} ms, "
                  f"worst {max(first_frame):.0f} ms over {args.runs} runs")
            print(f"key press to exit:    median {statistics.median(to_exit):.0f} ms, "
                  f"worst {max(to_exit):.0f} ms over {args.runs} runs")
    finally:
        subprocess.run([sys.executable, winenv, "cleanup", "--state", state], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
