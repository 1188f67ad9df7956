#!/usr/bin/env python3
"""Solvane.dll's own frame loop under Wine at 1920x1080 against two floors
drawn by a program in the same kind of window and pixel format, run one after
the other on one display: the picture floor (the feedback square drawn, read
back and loaded, and one clamped textured quad over the screen: the work the
picture cannot do without) and the clear-and-two-quads floor, which leaves the
read-back out. Then start-to-first-frame and input-to-exit times over
repeated runs.

  python3 bench/wine_renderer_bench.py [--build build] [--seconds 5] [--rounds 6] [--runs 10]
"""
import os
import statistics
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from frame_report import (PICTURE, TWO_QUADS, bench_arguments, bench_programs, frames_per_second,  # noqa: E402
                          paired_ratio, run_floor, run_frame_counter)
from winenv import private_env  # noqa: E402


def floor_run(env, programs, seconds, index, mode=TWO_QUADS):
    """Frames per second of the floor program, and its start to first frame."""
    name = f"floor-{mode or 'two-quads'}-{index}.txt"
    report, started = run_floor(env, programs.floor, os.path.join(programs.folder, name), seconds, mode)
    return frames_per_second(report), report["first_frame_unix_ms"] - started


def main():
    args = bench_arguments(__doc__, ROOT, seconds=5, rounds=6, runs=10)
    programs = bench_programs(args.build, "bench-wine")
    folder, counter = programs.folder, programs.counter
    with private_env(folder, programs.probe) as env:
        ours, pictures, floors = [], [], []
        for index in range(args.rounds):
            # Three runs one after the other, each first in every third round,
            # so that none always follows the same one.
            runs = ["renderer", "picture", "two quads"]
            for program in runs[index % 3:] + runs[:index % 3]:
                if program == "renderer":
                    report, *_ = run_frame_counter(env, counter, os.path.join(folder, f"renderer-{index}.txt"),
                                                   args.seconds)
                    ours.append(frames_per_second(report))
                elif program == "picture":
                    pictures.append(floor_run(env, programs, args.seconds, index, PICTURE)[0])
                else:
                    floors.append(floor_run(env, programs, args.seconds, index)[0])
        picture_ratio, picture_ratios = paired_ratio(ours, pictures)
        ratio, ratios = paired_ratio(ours, floors)
        print(f"under Wine at 1920x1080, {args.seconds} s a run, {args.rounds} rounds of three runs; "
              f"goal: renderer / picture floor at least 0.95")
        print(f"renderer frame loop:       {statistics.median(ours):7.1f} frames/s  {['%.1f' % v for v in ours]}")
        print(f"picture floor:             {statistics.median(pictures):7.1f} frames/s  "
              f"{['%.1f' % v for v in pictures]}")
        print(f"clear-and-two-quads floor: {statistics.median(floors):7.1f} frames/s  {['%.1f' % v for v in floors]}")
        print(f"pairs renderer / picture floor: {['%.3f' % v for v in picture_ratios]}; "
              f"renderer / clear-and-two-quads floor: {['%.3f' % v for v in ratios]}")
        print(f"ratio renderer / clear-and-two-quads floor, median of the pairs: {ratio:.3f}")
        print(f"ratio renderer / picture floor, median of the pairs: {picture_ratio:.3f}")

        # The floor program starts Wine, its window and GL the same way; what
        # the renderer takes beyond it is its own.
        first_frame, floor_first, to_exit = [], [], []
        for index in range(args.runs):
            # Each goes first in every other pair, so that neither always
            # starts right after the other's exit.
            if index % 2:
                floor_first.append(floor_run(env, programs, 1, 100 + index)[1])
            report, started, pressed, exited = run_frame_counter(
                env, counter, os.path.join(folder, f"renderer-{100 + index}.txt"), 1)
            first_frame.append(report["first_frame_unix_ms"] - started)
            to_exit.append(exited - pressed)
            if not index % 2:
                floor_first.append(floor_run(env, programs, 1, 100 + index)[1])
        print(f"start to first frame: median {statistics.median(first_frame):.0f} ms, "
              f"worst {max(first_frame):.0f} ms over {args.runs} runs")
        print(f"floor program, start to first frame: median {statistics.median(floor_first):.0f} ms, "
              f"worst {max(floor_first):.0f} ms; renderer's own share of the median: "
              f"{statistics.median(first_frame) - statistics.median(floor_first):.0f} ms")
        print(f"key press to exit:    median {statistics.median(to_exit):.0f} ms, "
              f"worst {max(to_exit):.0f} ms over {args.runs} runs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
