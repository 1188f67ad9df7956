#!/usr/bin/env python3
"""Saver runs in a row with an MP3 playing: each front end ends within
150 ms of its renderer's window, the music is silent after each, and no
window or process of the run is left. The suite runs a few rounds;
tools/soak.sh runs 100 (or --rounds N)."""

import array
import math
import os
import time

import common
from common import expect, scratch_dir
from frontend_common import (CLOSE_TRACE, MP3_STOPPED, SAVER_RUN_TITLE, Installation, Recording, expect_close_step,
                             make_tone, wait_saver_run)
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

EXIT_LIMIT_MS = 150
SILENT = 0.005


def add_rounds(parser):
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("SOLVANE_SOAK_ROUNDS", "15")))


def recent_level(path, seconds):
    """RMS of the last seconds of a recording still being written."""
    size = int(seconds * 44100) * 4
    with open(path, "rb") as f:
        f.seek(max(44, os.path.getsize(path) - size))
        samples = array.array("h", f.read()[:size // 2 * 2])
    return math.sqrt(sum(v * v for v in samples) / len(samples)) / 32768.0 if samples else 0.0


def one_round(env, install):
    """One saver run ended by a key; returns the exit time in ms."""
    park_cursor(env)
    recording = env.record_start()
    started = time.monotonic()
    frontend = install.start("/s", winedebug=CLOSE_TRACE)
    wait_saver_run(env)
    watcher = env.start(env.probe_exe, ["exit-delay", RENDERER_TITLE, SAVER_RUN_TITLE, 20000])
    common.winenv.poll(lambda: "watching" in watcher.stderr() or not watcher.alive(), 20, what="the exit watcher")
    expect(watcher.alive(), f"the exit watcher ended early: {watcher.stdout()} {watcher.stderr()}")
    # The key goes only once the music is heard.
    common.winenv.poll(lambda: recent_level(recording, 0.3) > 0.05, 15, what="the MP3 to be heard")
    env.key("space")
    rc = watcher.wait(30)
    expect(rc == 0, f"the exit watcher failed ({rc}): {watcher.stderr()}")
    delay = float(watcher.stdout().split()[0])
    expect(frontend.wait(10) == 0, "the front end did not end with 0")
    ended = time.monotonic() - started
    common.winenv.poll(lambda: env.recorded_seconds() >= ended + 1.0, 10, what="the tail recording")
    sound = Recording(env.record_stop())
    after = sound.level(ended + 0.3, ended + 1.0)
    expect(after < SILENT, f"the music goes on after the run (level {after:.4f})")
    expect_close_step(frontend, MP3_STOPPED)
    env.wait_window_gone(RENDERER_TITLE, timeout=10)
    expect(env.find_window(SAVER_RUN_TITLE) is None, "the saver window is left")
    common.winenv.poll(lambda: not common.programs_running(env), 10, what="both programs' processes to end")
    return delay


def check_saver_runs_in_a_row(env, args):
    install = Installation(env, args, "soak")
    install.configure(2, 0, make_tone(scratch_dir(env, "soak-tone"), "tone.mp3", 30, volume=0.3))
    delays = []
    for number in range(1, args.rounds + 1):
        delay = one_round(env, install)
        delays.append(delay)
        expect(delay <= EXIT_LIMIT_MS, f"round {number}: the front end ended {delay:.1f} ms after its renderer")
    print(f"     {args.rounds} rounds with an MP3 playing: exit after the renderer's window median "
          f"{sorted(delays)[len(delays) // 2]:.1f} ms, worst {max(delays):.1f} ms (limit {EXIT_LIMIT_MS} ms)")


if __name__ == "__main__":
    common.run_checks([check_saver_runs_in_a_row], __doc__, add_rounds)
