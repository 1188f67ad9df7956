#!/usr/bin/env python3
"""Frames per second of the native `solvane -fps` at 1920x1080 against the
Windows renderer under Wine, on the same virtual display in the same run,
both unpaced, so that the rates measure the GL work.

  python3 bench/linux_vs_wine_bench.py [--build build] [--seconds 8]
"""
import os
import signal
import statistics
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from frame_report import (bench_arguments, bench_programs, frames_per_second, native_frame_rate,  # noqa: E402
                          run_frame_counter)
from winenv import private_env  # noqa: E402


def native_fps(env, solvane, seconds):
    proc = env.spawn([solvane, "-fps", "--unpaced"], name="solvane")
    time.sleep(seconds)  # the measured stretch
    proc.stop(signal.SIGTERM)
    return native_frame_rate(proc.stderr())


def main():
    args = bench_arguments(__doc__, ROOT, seconds=8)
    programs = bench_programs(args.build, "bench-linux")
    folder, counter = programs.folder, programs.counter
    solvane = os.path.join(args.build, "native", "renderer", "solvane")
    with private_env(folder, programs.probe) as env:
        natives, wines = [], []
        for index in range(3):
            natives.append(native_fps(env, solvane, args.seconds))
            report, *_ = run_frame_counter(env, counter, os.path.join(folder, f"renderer-{index}.txt"), args.seconds)
            wines.append(frames_per_second(report))
        print(f"1920x1080 on one Xvfb, {args.seconds} s a run, medians of 3")
        print(f"native solvane:         {statistics.median(natives):6.1f} frames/s  {['%.1f' % v for v in natives]}")
        print(f"Solvane.dll under Wine: {statistics.median(wines):6.1f} frames/s  {['%.1f' % v for v in wines]}")
        print(f"ratio native / Wine: {statistics.median(natives) / statistics.median(wines):.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
