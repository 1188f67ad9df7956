#!/usr/bin/env python3
"""Runs a cross-built GoogleTest program under Wine for CTest: the emulator
through which CMake both lists its cases and runs them.

  wine_gtest.py --state FILE --listing-dir DIR [--timeout S] [--list-timeout S] PROGRAM.exe ARGS...

With --gtest_list_tests among ARGS the cases are listed headless (no display,
no sound) in a prefix of their own under DIR, kept between listings, so that
discovery needs no running environment; a listing that fails or names no case
is an error. Otherwise the cases run in the shared environment of the state
file (winenv.py setup); a run in which the filter selected no case fails, so
a registered case that was renamed or removed does not pass unnoticed.
"""

import argparse
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import winenv  # noqa: E402
from procs import HarnessError, log, poll, spawn, stop  # noqa: E402
from wineprefix import PREFIX_MARK, boot_prefix, kill_prefix, start_wineserver, stop_prefix_processes  # noqa: E402

LIST_FLAG = "--gtest_list_tests"
SUMMARY = re.compile(r"^\[=+\] (\d+) tests? from \d+ test suites? ran\.", re.MULTILINE)
CASE_LINE = re.compile(r"^  \S", re.MULTILINE)


class Deadline:
    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        return max(0.0, self.end - time.monotonic())


def headless_env(folder, prefix):
    """Wine in our listing prefix with no X display and no sound server."""
    home, runtime = os.path.join(folder, "home"), os.path.join(folder, "runtime")
    os.makedirs(home, exist_ok=True)
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = winenv.base_env({"prefix": prefix, "home": home, "runtime": runtime})
    for name in ("DISPLAY", "PULSE_SERVER"):
        env.pop(name, None)
    return env


def take_lock(lock):
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return True
    except BlockingIOError:
        return False


def list_cases(folder, program, timeout):
    """The program's --gtest_list_tests output; one listing at a time per folder."""
    deadline = Deadline(timeout)
    folder = os.path.abspath(folder)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "lock"), "w") as lock:
        poll(lambda: take_lock(lock), deadline.left(), interval=0.1, what="another listing to finish")
        prefix = os.path.join(folder, "prefix")
        logs = os.path.join(folder, "logs")
        env = headless_env(folder, prefix)
        stop_prefix_processes(prefix)  # left by a listing that was killed
        ready = os.path.exists(os.path.join(prefix, PREFIX_MARK))
        if not ready:  # never made, or its boot was cut short
            shutil.rmtree(prefix, ignore_errors=True)
            os.makedirs(prefix)
        server = {}
        try:
            start_wineserver(env, logs, lambda proc, record: server.update(proc=proc, record=record))
            if not ready:
                boot_prefix(env, logs, server["record"], timeout=deadline.left())
            return run_listing(env, logs, program, deadline)
        finally:
            if server:
                kill_prefix(env, logs)
                stop(server["record"], proc=server["proc"])


def run_listing(env, logs, program, deadline):
    proc, record = spawn(["wine", *program], os.path.join(logs, "listing"), env=env)
    try:
        rc = proc.wait(deadline.left())
    except subprocess.TimeoutExpired:
        stop(record, proc=proc)
        raise HarnessError(f"listing the cases of {program[0]} did not end in time") from None
    with open(record["stdout"], errors="replace") as f:  # CRLF from Windows becomes LF
        listing = f.read()
    if rc != 0:
        with open(record["stderr"], errors="replace") as f:
            raise HarnessError(f"listing the cases of {program[0]} failed ({rc}):\n{listing}{f.read()}")
    if not CASE_LINE.search(listing):
        raise HarnessError(f"{' '.join(program)} lists no test case:\n{listing}")
    return listing


def run_cases(state, program, timeout):
    """Runs the program in the shared environment; returns its exit code.
    A start that ends before GoogleTest has printed a line ran no test (Wine
    has been seen to fail so on a busy machine): it is started once more."""
    rc, out, err = winenv.run_to_end(state, program, timeout)
    if rc != 0 and not out.strip():
        log(f"{program[0]} ended with {rc} before printing anything{': ' + err[-500:] if err else ''}; "
            f"starting it again")
        rc, out, err = winenv.run_to_end(state, program, timeout)
    sys.stdout.write(out)
    sys.stdout.flush()
    sys.stderr.write(err)
    if rc != 0:
        return rc
    summary = SUMMARY.search(out)
    if not summary:
        log(f"{program[0]} ended without GoogleTest's summary")
        return 1
    if int(summary.group(1)) == 0:
        log(f"no test case matches {' '.join(program[1:])}: renamed or removed?")
        return 1
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state", required=True, help="state file of the shared environment")
    parser.add_argument("--listing-dir", required=True, help="folder of the headless listing prefix")
    parser.add_argument("--timeout", type=float, default=120, help="bound of one run")
    parser.add_argument("--list-timeout", type=float, default=300,
                        help="bound of one listing, making its prefix included")
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    if not args.program:
        parser.error("a program to run is needed")
    # A CTest timeout sends SIGTERM: unwind so that what was started is stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    try:
        if LIST_FLAG in args.program[1:]:
            sys.stdout.write(list_cases(args.listing_dir, args.program, args.list_timeout))
            return 0
        return run_cases(args.state, args.program, args.timeout)
    except HarnessError as error:
        log(f"error: {error}")
        return 1


if __name__ == "__main__":
    sys.exit(main())
