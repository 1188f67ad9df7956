#!/usr/bin/env python3
"""Solvane.dll under Wine on two monitors (Xorg's dummy driver, 1920x1080 and
1280x720) against the same display with the second output off: frames per
second of each and of a floor program over the same monitors, alternated on
one display; the ratio of the two layouts set against the ratio of pixels drawn. Goal: fps(two) / fps(one) >= 0.9 x pixels(one) / pixels(two).

  python3 bench/wine_monitors_bench.py [--build build] [--seconds 5] [--rounds 4]
"""
import os
import statistics
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import displays  # noqa: E402
from frame_report import (bench_arguments, bench_programs, frames_per_second, paired_ratio, run_floor,  # noqa: E402
                          run_frame_counter)
from winenv import poll, private_env  # noqa: E402

ONE = "1920x1080+0+0"
TWO = displays.TWO_MONITORS


def pixels(layout):
    return sum(m.width * m.height for m in displays.parse_layout(layout))


def use_layout(env, layout):
    displays.apply_layout(env.display, displays.parse_layout(layout))
    wanted = len(layout.split(","))
    poll(lambda: len(env.probe("monitors")[1].splitlines()) == wanted + 1, 20,
         what=f"Wine to report {wanted} monitor(s)")


def main():
    args = bench_arguments(__doc__, ROOT, seconds=5, rounds=4)
    programs = bench_programs(args.build, "bench-monitors")
    folder = programs.folder
    with private_env(folder, programs.probe, display="xorg-dummy", layout=TWO) as env:
        rates = {ONE: [], TWO: []}
        floors = {ONE: [], TWO: []}
        for index in range(args.rounds):  # alternate, so both see the same machine
            for layout in (TWO, ONE):
                use_layout(env, layout)
                # A pair of runs per layout, each program first in every other round.
                for program in (("floor", "renderer") if index % 2 else ("renderer", "floor")):
                    path = os.path.join(folder, f"{program}-{index}-{len(layout)}.txt")
                    if program == "floor":
                        floors[layout].append(frames_per_second(run_floor(env, programs.floor, path, args.seconds)[0]))
                    else:
                        report, *_ = run_frame_counter(env, programs.counter, path, args.seconds)
                        rates[layout].append(frames_per_second(report))
        one, two = statistics.median(rates[ONE]), statistics.median(rates[TWO])
        goal = 0.9 * pixels(ONE) / pixels(TWO)
        print(f"under Wine on Xorg's dummy driver, {args.seconds} s a run, {args.rounds} pairs of runs per layout")
        for name, layout, fps in (("one monitor ", ONE, one), ("two monitors", TWO, two)):
            floor_fps = statistics.median(floors[layout])
            ratio, ratios = paired_ratio(rates[layout], floors[layout])
            print(f"{name} ({layout}): {fps:7.1f} frames/s  {['%.1f' % v for v in rates[layout]]}; "
                  f"floor {floor_fps:7.1f} frames/s  {['%.1f' % v for v in floors[layout]]}; "
                  f"renderer / floor, median of the pairs {ratio:.3f} {['%.3f' % v for v in ratios]} "
                  f"(goal: at least 0.95)")
        print(f"pixels one / two: {pixels(ONE) / pixels(TWO):.3f}")
        print(f"fps two / one: {two / one:.3f} (goal: at least 0.9 x pixels one / two = {goal:.3f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
