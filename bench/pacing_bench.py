#!/usr/bin/env python3
"""Frames at the display's pace. On a 640x480 Xvfb, where Mesa draws far
faster than the display's 60 Hz, each host runs paced (as users get it) and
unpaced (--unpaced, as fast as GL draws), one after the other: Solvane.dll's
own loop under Wine (its benchmark build, which reports its frames) and the
native `solvane -window`, then the native one with -delay 50000. CPU is the
process's own (all its threads, llvmpipe's included) per wall second.

  python3 bench/pacing_bench.py [--build build] [--seconds 5] [--runs 3]

Goals: paced fps / refresh at most 1.05 and at least 0.9; cpu paced /
unpaced at most 0.4; fps with -delay 50000 at most 21.
"""
import os
import re
import signal
import statistics
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from frame_report import (bench_arguments, bench_programs, frames_per_second, native_frame_rate,  # noqa: E402
                          run_frame_counter)
from procs import poll  # noqa: E402
from winenv import private_env  # noqa: E402

SCREEN = (640, 480)
WARM_UP = 1.0  # seconds before the measured stretch: start-up and the driver's judgement


def cpu_seconds(pid):
    """User and system time of a process, all its threads, in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class CpuMeter:
    """Measures a running process's CPU per wall second over `seconds`."""

    def __init__(self, seconds):
        self.seconds = seconds
        self.share = None

    def __call__(self, proc):
        time.sleep(WARM_UP)
        cpu, wall = cpu_seconds(proc.pid), time.monotonic()
        time.sleep(self.seconds)
        self.share = (cpu_seconds(proc.pid) - cpu) / (time.monotonic() - wall)


def windows_run(env, programs, seconds, unpaced, index):
    meter = CpuMeter(seconds)
    name = f"renderer-{'unpaced' if unpaced else 'paced'}-{index}.txt"
    report, *_ = run_frame_counter(env, programs.counter, os.path.join(programs.folder, name), seconds,
                                   unpaced=unpaced, during=meter)
    return frames_per_second(report), meter.share, report["refresh_hz"]


def native_run(env, solvane, seconds, *arguments):
    env.mouse_move(SCREEN[0] // 2, SCREEN[1] // 2)
    proc = env.spawn([solvane, "-window", "-fps", "--stats", *arguments], name="solvane")
    # Measured from its first frames on, not from the start of the process.
    shown = poll(lambda: re.search(r"display ([\d.]+) Hz", proc.stderr()), 30, what="solvane's display line")
    meter = CpuMeter(seconds)
    meter(proc)
    proc.stop(signal.SIGTERM)
    return native_frame_rate(proc.stderr()), meter.share, float(shown.group(1))


def paired(runs, index):
    """Paced and unpaced of each pair, each first in every other pair."""
    pairs = []
    for i in range(index):
        order = (False, True) if i % 2 == 0 else (True, False)
        results = {unpaced: runs(unpaced, i) for unpaced in order}
        pairs.append((results[False], results[True]))
    return pairs


def summary(host, pairs):
    fps_over_refresh = statistics.median(paced[0] / paced[2] for paced, _ in pairs)
    cpu_ratio = statistics.median(paced[1] / unpaced[1] for paced, unpaced in pairs)
    for paced, unpaced in pairs:
        print(f"  {host}: paced {paced[0]:7.1f} fps, {paced[1]:.3f} CPU s/s; "
              f"unpaced {unpaced[0]:7.1f} fps, {unpaced[1]:.3f} CPU s/s; refresh {paced[2]:.2f} Hz")
    return fps_over_refresh, cpu_ratio


def main():
    args = bench_arguments(__doc__, ROOT, seconds=5, runs=3)
    programs = bench_programs(args.build, "bench-pacing")
    solvane = os.path.join(args.build, "native", "renderer", "solvane")
    with private_env(programs.folder, programs.probe, screen=SCREEN) as env:
        print(f"{SCREEN[0]}x{SCREEN[1]} on one Xvfb, {args.seconds:g} s measured a run after {WARM_UP:g} s, "
              f"{args.runs} pairs a host; medians of the pairs")
        windows = paired(lambda unpaced, i: windows_run(env, programs, args.seconds, unpaced, i), args.runs)
        native = paired(lambda unpaced, i: native_run(env, solvane, args.seconds,
                                                      *(["--unpaced"] if unpaced else [])), args.runs)
        delayed = [native_run(env, solvane, args.seconds, "-delay", "50000")[0] for _ in range(args.runs)]
        windows_fps, windows_cpu = summary("Windows host", windows)
        native_fps, native_cpu = summary("X11 host", native)
        print(f"  X11 host with -delay 50000: {['%.1f' % v for v in delayed]} fps")
        print(f"paced fps / refresh, Windows host: {windows_fps:.3f}")
        print(f"paced fps / refresh, X11 host: {native_fps:.3f}")
        print(f"cpu paced / unpaced, Windows host: {windows_cpu:.3f}")
        print(f"cpu paced / unpaced, X11 host: {native_cpu:.3f}")
        print(f"fps with -delay 50000, X11 host: {statistics.median(delayed):.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
