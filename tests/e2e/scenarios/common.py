"""Shared start of every end-to-end scenario: finds the harness, parses the
arguments CTest passes (--state, --windows-build), and runs named checks
against the shared Wine environment, each one cleaned up after itself."""

import argparse
import contextlib
import os
import re
import signal
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))

import winenv  # noqa: E402
from checks import finish, run_each  # noqa: E402
from winenv import HarnessError  # noqa: E402,F401
from contract import NAMES  # noqa: E402


def programs_running(env):
    """Wine processes of the environment's prefix running either of our
    programs (Solvane.scr or Solvane.dll), not those merely given one's name."""
    names = {NAMES.frontendFile.lower(), NAMES.rendererFile.lower()}

    def ours(arguments):
        program = arguments[0].decode(errors="replace")
        return program.replace("\\", "/").rsplit("/", 1)[-1].lower() in names
    return winenv.prefix_programs(env.prefix, ours)


# Wine's +relay trace covers only the functions named here ("dll.Function"),
# for programs started while it is set.
RELAY_KEY = r"HKCU\Software\Wine\Debug"


@contextlib.contextmanager
def relay_only(env, functions):
    """Programs started inside, with a winedebug of "+pid,+relay", trace
    these functions' calls only."""
    env.reg_add(RELAY_KEY, "RelayInclude", ";".join(functions))
    try:
        yield
    finally:
        env.reg_delete(RELAY_KEY, "RelayInclude")


def relay_calls(process, function):
    """(Windows process id, argument text) of each call to `function`
    ("dll.Function", any letter case) in a process's +pid,+relay trace,
    its children's included."""
    calls = []
    for line in process.stderr().splitlines():
        match = re.match(r"([0-9a-f]+):[0-9a-f]+:Call ([\w.]+)\((.*)\) ret=[0-9a-f]+$", line)
        if match and match.group(2).lower() == function.lower():
            calls.append((int(match.group(1), 16), match.group(3)))
    return calls


def expect(condition, message):
    """An assertion that survives python -O and says what went wrong."""
    if not condition:
        raise AssertionError(message)


def parse_args(description, add_arguments=None):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--state", required=True, help="state file written by winenv.py setup")
    parser.add_argument("--windows-build", required=True, help="build tree of the Windows programs")
    if add_arguments:
        add_arguments(parser)
    return parser.parse_args()


def windows_binary(args, relative):
    """Path of a program in the Windows build tree; a missing one is a failure."""
    path = os.path.join(args.windows_build, relative)
    if not os.path.isfile(path):
        raise HarnessError(f"{path} is missing: build the Windows tree first")
    return path


def scratch_dir(env, name):
    """A folder for files a check makes, kept for diagnosis."""
    path = os.path.join(env.runs, f"{name}-{os.getpid()}")
    os.makedirs(path, exist_ok=True)
    return path


class ScenarioTimeout(BaseException):
    """The scenario ran past its deadline (not an Exception, so no check swallows it)."""


def _arm_deadline():
    # CTest kills a test that times out with SIGKILL, which leaves no chance to
    # clean up or say where it hung; the deadline it sets comes a little earlier.
    seconds = int(float(os.environ.get("SOLVANE_SCENARIO_TIMEOUT", "0")))
    if seconds > 0:
        def expire(*_):
            raise ScenarioTimeout(f"scenario still running after {seconds} s")
        signal.signal(signal.SIGALRM, expire)
        signal.alarm(seconds)


def run_checks(checks, description, add_arguments=None):
    """Runs each check(env, args) in turn; every process a check started is
    stopped before the next. Exits 1 if any check failed."""
    args = parse_args(description, add_arguments)
    _arm_deadline()
    with winenv.Env(args.state) as env:
        def call(check):
            try:
                check(env, args)
            finally:
                env.close()
        failed = run_each(checks, call, last=(ScenarioTimeout,))
    finish(failed, checks)
