#!/usr/bin/env python3
"""Frames per second of the native `solvane -fps` at 1920x1080 against the
Windows renderer under Wine, on the same virtual display in the same run.

  python3 bench/linux_vs_wine_bench.py [--build build] [--seconds 8]
"""
import argparse
import os
import re
import signal
import statistics
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))

from winenv import Env, poll  # noqa: E402


def native_fps(env, solvane, seconds):
    proc = env.spawn([solvane, "-fps"], name="solvane")
    time.sleep(seconds)  # the measured stretch
    proc.stop(signal.SIGTERM)
    rates = [float(v) for v in re.findall(r"([\d.]+) fps", proc.stderr())]
    return statistics.median(rates[1:] or rates)  # the first second warms up


def wine_fps(env, counter, folder, seconds, index):
    path = os.path.join(folder, f"renderer-{index}.txt")
    env.mouse_move(960, 540)
    proc = env.start(counter, [env.winpath(path)])
    env.wait_window("Brisel_VC", timeout=60)
    time.sleep(seconds)
    env.key("space")
    proc.wait(30)
    poll(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 30, what="the report")
    with open(path) as f:
        report = {k: float(v) for k, v in (item.split("=") for item in f.read().split())}
    span = (report["last_frame_unix_ms"] - report["first_frame_unix_ms"]) / 1000.0
    return (report["frames"] - 1) / span


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--seconds", type=int, default=8)
    args = parser.parse_args()
    windows = os.path.join(args.build, "windows")
    folder = os.path.join(args.build, "bench-linux")
    os.makedirs(folder, exist_ok=True)
    state = os.path.join(folder, "state.json")
    winenv = os.path.join(ROOT, "tools", "harness", "winenv.py")
    subprocess.run([sys.executable, winenv, "setup", "--state", state, "--prefix", os.path.join(folder, "prefix"),
                    "--probe", os.path.join(windows, "tests", "e2e", "probe", "probe.exe")], check=True)
    try:
        with Env(state) as env:
            natives, wines = [], []
            for index in range(3):
                natives.append(native_fps(env, os.path.join(args.build, "native", "renderer", "solvane"),
                                          args.seconds))
                wines.append(wine_fps(env, os.path.join(windows, "bench", "renderer_frame_counter.exe"), folder,
                                      args.seconds, index))
            print(f"1920x1080 on one Xvfb, {args.seconds} s a run, medians of 3")
            print(f"native solvane:          {statistics.median(natives):6.1f} frames/s  {['%.1f' % v for v in natives]}")
            print(f"Solvane.dll under Wine:  {statistics.median(wines):6.1f} frames/s  {['%.1f' % v for v in wines]}")
            print(f"ratio native / Wine: {statistics.median(natives) / statistics.median(wines):.3f}")
    finally:
        subprocess.run([sys.executable, winenv, "cleanup", "--state", state], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
