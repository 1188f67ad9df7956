#!/usr/bin/env python3
"""Wine test environment: a private X display (Xvfb), a private PulseAudio with
a null sink, and a WINEPREFIX with a persistent wineserver and a virtual
desktop. Everything started is recorded in a JSON state file and stopped by PID.

  winenv.py setup   --state FILE --prefix DIR --probe probe.exe [--display xorg-dummy [--layout L] | --screen WxH]
  winenv.py cleanup --state FILE
  winenv.py run     --state FILE [--timeout S] [--winedebug CH] [--cwd DIR] -- PROGRAM.exe ARGS...

Scenario scripts use Env (see below) on the same state file; winesetup.py
sets the environment up and stops it.
"""

import argparse
import atexit
import contextlib
import itertools
import os
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

# Image and load_image are also for scenarios that read screenshots.
import displays  # noqa: E402
from media import Image, load_image, sound_stats  # noqa: E402,F401
from procs import HarnessError, Tracker, is_running, log, poll, spawn, stop  # noqa: E402
from wineprefix import prefix_processes, prefix_programs, stop_prefix_processes  # noqa: E402,F401
# base_env is also for tools that start Wine processes of their own.
from winesetup import SINK, Setup, base_env, load_state, save_state, teardown  # noqa: E402,F401

MOUSE_BUTTONS = {"left": 1, "middle": 2, "right": 3}
WM_CLOSE = 0x0010


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ---------------------------------------------------------------- scenario API

@dataclass
class Window:
    hwnd: int
    left: int
    top: int
    right: int
    bottom: int
    pid: int       # Windows process id
    visible: bool
    cls: str = ""

    @property
    def rect(self):
        return (self.left, self.top, self.right, self.bottom)

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top


def parse_window(fields, cls=""):
    h, l, t, r, b, pid, vis = (int(v) for v in fields[:7])
    return Window(h, l, t, r, b, pid, vis == 1, cls)


class Process:
    """A program started under the environment. Exit codes are the low 8 bits
    of the Windows exit code."""

    def __init__(self, popen, record, tracker, name):
        self._popen, self.record, self._tracker, self.name = popen, record, tracker, name
        self.pid = popen.pid

    def alive(self):
        return self._popen.poll() is None

    def wait(self, timeout):
        """Returns the exit code; raises HarnessError if still running after timeout s."""
        try:
            rc = self._popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{self.name} (pid {self.pid}) still running after {timeout:g} s"
                               f"{self._tails()}") from None
        self._tracker.remove(self.record)
        return rc

    def kill(self):
        self.stop(signal.SIGKILL)

    def stop(self, first_signal):
        """Sends first_signal, then SIGKILL if it is still running after a few seconds."""
        stop(self.record, first_signal=first_signal, proc=self._popen)
        self._tracker.remove(self.record)

    def stdout(self):
        return _read(self.record["stdout"])

    def stderr(self):
        return _read(self.record["stderr"])

    def wait_output(self, pattern, timeout):
        """Polls stdout for a regular expression; returns the match."""
        def match():
            exited = not self.alive()  # before reading, so no late line is missed
            found = re.search(pattern, self.stdout())
            if not found and exited:
                raise HarnessError(f"{self.name} exited ({self._popen.returncode}) without "
                                   f"printing {pattern!r}{self._tails()}")
            return found
        return poll(match, timeout, what=f"{self.name} to print {pattern!r}")

    def _tails(self):
        return (f"\n--- stdout ({self.record['stdout']}):\n{self.stdout()[-2000:]}"
                f"\n--- stderr ({self.record['stderr']}):\n{self.stderr()[-2000:]}")


def _read(path):
    try:
        with open(path, errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


class Env:
    """The running environment described by a state file. Use as a context
    manager (or rely on atexit): every process started through it is killed
    at the end."""

    def __init__(self, state_path):
        self.state = load_state(state_path)
        if self.state.get("stopped"):
            raise HarnessError(f"the Wine environment in {state_path} was cleaned up; run setup again")
        for name in ("xserver", "pulseaudio", "silence", "wineserver", "keeper"):
            record = self.state["processes"].get(name)
            if not record or not is_running(record):
                raise HarnessError(f"the Wine environment is not running ({name} is gone); run setup again")
        self.display = self.state["display"]
        self.screen = tuple(self.state["screen"])
        # Monitors as (left, top, right, bottom) in X coordinates; [] on Xvfb.
        self.monitors = [tuple(r) for r in self.state.get("monitors", [])]
        self.prefix = self.state["prefix"]
        self.pulse_server = self.state["pulse_server"]
        self.probe_exe = self.state["probe"]
        self.folder = self.state["folder"]
        self.runs = os.path.join(self.folder, "runs")
        self._tracker = Tracker(os.path.join(self.folder, "tracked"))
        # A test that was killed may have left programs on the shared display.
        self._tracker.stop_all(log=log, orphans_only=True)
        self._started = []
        self._counter = itertools.count(1)
        self._recording = None
        if signal.getsignal(signal.SIGTERM) == signal.SIG_DFL:
            signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
        atexit.register(self.close)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self._recording:
            self.record_stop()
        for proc in self._started:
            proc.kill()  # also reaps and untracks those that ended by themselves
        self._started.clear()

    # ---- processes

    def environment(self, extra_env=None, winedebug=None):
        env = base_env(self.state)
        env["WINEDEBUG"] = winedebug or "-all"
        env.update(extra_env or {})
        return env

    def _log_base(self, name):
        tag = re.sub(r"[^A-Za-z0-9_.-]", "_", name)[:40]
        return os.path.join(self.runs, f"{os.getpid()}-{next(self._counter):04d}-{tag}")

    def spawn(self, argv, name=None, extra_env=None, winedebug=None, cwd=None):
        """Starts any Linux command with the environment's variables; tracked."""
        name = name or os.path.basename(argv[0])
        popen, record = spawn(argv, self._log_base(name), env=self.environment(extra_env, winedebug),
                              cwd=cwd, detach=False)
        self._tracker.add(record)
        proc = Process(popen, record, self._tracker, name)
        self._started.append(proc)
        return proc

    def start(self, exe, args=(), extra_env=None, winedebug=None, cwd=None):
        """Starts a Windows program under Wine; output goes to files under runs/."""
        return self.spawn(["wine", exe, *[str(a) for a in args]], name=os.path.basename(exe),
                          extra_env=extra_env, winedebug=winedebug, cwd=cwd)

    def run(self, exe, args=(), timeout=60, **kwargs):
        """Starts a Windows program and waits for it; returns (exit code, stdout)."""
        proc = self.start(exe, args, **kwargs)
        try:
            rc = proc.wait(timeout)
        except HarnessError:
            proc.kill()
            raise
        return rc, proc.stdout()

    def probe(self, *args, timeout=30):
        return self.run(self.probe_exe, args, timeout=timeout)

    @staticmethod
    def winpath(path):
        """The Windows (Z:) path of a Linux path."""
        return windows_path(path)

    # ---- windows

    def find_window(self, title, cls=None):
        rc, out = self.probe("find", title, *([cls] if cls else []))
        return parse_window(out.split()) if rc == 0 else None

    def wait_window(self, title, timeout=10, cls=None, visible=True):
        """Waits for a top-level window (by default a visible one)."""
        rc, out = self.probe("wait", title, int(timeout * 1000), *([cls] if cls else []),
                             *(["--visible"] if visible else []), timeout=timeout + 30)
        if rc != 0:
            what = (f"{'visible ' if visible else ''}window titled {title!r}"
                    + (f" of class {cls!r}" if cls else ""))
            raise HarnessError(f"no {what} appeared within {timeout:g} s")
        return parse_window(out.split())

    def watch_window(self, title, timeout=10):
        """Starts waiting for a visible top-level window in the background and
        returns once the waiting probe is itself up, so that its start-up does
        not slow the start of the program it watches; call the result for the
        window."""
        proc = self.start(self.probe_exe, ["wait", title, int(timeout * 1000), "--visible", "--announce"])
        proc.wait_output(r"waiting", 30)

        def window():
            if proc.wait(timeout + 30) != 0:
                raise HarnessError(f"no visible window titled {title!r} appeared within {timeout:g} s")
            return parse_window(proc.stdout().split()[1:])
        return window

    def wait_window_gone(self, title, timeout=10):
        rc, _ = self.probe("wait-gone", title, int(timeout * 1000), timeout=timeout + 30)
        if rc != 0:
            raise HarnessError(f"window titled {title!r} still exists after {timeout:g} s")

    def post(self, hwnd, msg, wparam=0, lparam=0):
        rc, out = self.probe("post", hwnd, msg, wparam, lparam)
        if rc != 0:
            raise HarnessError(f"PostMessage({hwnd}, {msg:#x}) failed: {out.strip()}")

    def send(self, hwnd, msg, wparam=0, lparam=0):
        rc, out = self.probe("send", hwnd, msg, wparam, lparam)
        if rc != 0:
            raise HarnessError(f"SendMessageTimeout({hwnd}, {msg:#x}) failed: {out.strip()}")
        return int(out)

    def close_window(self, hwnd):
        self.post(hwnd, WM_CLOSE)

    def children(self, hwnd):
        rc, out = self.probe("children", hwnd)
        if rc != 0:
            raise HarnessError(f"window {hwnd} does not exist")
        return [parse_window(line.split()[1:], line.split()[0]) for line in out.splitlines() if line]

    def screen_metrics(self):
        rc, out = self.probe("metrics")
        if rc != 0:
            raise HarnessError(f"probe metrics failed ({rc})")
        width, height = (int(v) for v in out.split())
        return width, height

    def foreground(self):
        """(hwnd, title) of the foreground window, or None."""
        rc, out = self.probe("foreground")
        if rc != 0:
            return None
        hwnd, _, title = out.rstrip("\r\n").partition(" ")
        return int(hwnd), title

    # ---- X input: XTEST through xdotool. The desktop covers the screen at 0,0,
    # so X and Windows screen coordinates agree. Wine gives X focus to the X
    # window of the foreground Windows window itself; setting it from outside
    # (e.g. to the desktop window) stops keys from arriving.

    def xdotool(self, *args):
        done = subprocess.run(["xdotool", *[str(a) for a in args]], env=base_env(self.state),
                              capture_output=True, text=True, timeout=30)
        if done.returncode:
            raise HarnessError(f"xdotool {' '.join(map(str, args))} failed: {done.stderr.strip()}")
        return done.stdout

    def key(self, name):
        """Press and release an X key by keysym name, e.g. 'Escape', 'a', 'shift+Tab'."""
        self.xdotool("key", name)

    def key_down(self, name):
        self.xdotool("keydown", name)

    def key_up(self, name):
        self.xdotool("keyup", name)

    def click(self, button="left"):
        self.xdotool("click", MOUSE_BUTTONS[button])

    def button_down(self, button="left"):
        self.xdotool("mousedown", MOUSE_BUTTONS[button])

    def button_up(self, button="left"):
        self.xdotool("mouseup", MOUSE_BUTTONS[button])

    # xdotool's own --sync waits 15 s when the pointer is already there, so
    # each move is confirmed by polling the pointer position instead.

    def mouse_move(self, x, y):
        self.xdotool("mousemove", x, y)
        self._pointer_at(x, y)

    def mouse_move_rel(self, dx, dy):
        x, y = self.mouse_position()
        self.xdotool("mousemove_relative", "--", dx, dy)
        self._pointer_at(min(max(x + dx, 0), self.screen[0] - 1), min(max(y + dy, 0), self.screen[1] - 1))

    def _pointer_at(self, x, y):
        poll(lambda: self.mouse_position() == (x, y), 5, what=f"the pointer to reach {(x, y)}")

    def mouse_position(self):
        # xdotool also reads the window under the pointer; one that is being
        # destroyed at that moment (a saver ending) fails the query once.
        def query():
            try:
                return self.xdotool("getmouselocation", "--shell")
            except HarnessError as error:
                if "BadWindow" in str(error):
                    return None
                raise
        out = poll(query, 5, what="the pointer position")
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def wheel(self, clicks):
        """Positive clicks roll away from the user (WM_MOUSEWHEEL delta +120 each)."""
        if clicks:
            self.xdotool("click", "--repeat", abs(clicks), "--delay", 10, 4 if clicks > 0 else 5)

    # ---- screen and sound

    def screenshot(self, path=None):
        """Saves the whole X screen (format from the file name); returns the path."""
        path = path or self._log_base("screenshot") + ".png"
        done = subprocess.run(["import", "-display", self.display, "-window", "root",
                               "-depth", "8", path], capture_output=True, text=True, timeout=60)
        if done.returncode:
            raise HarnessError(f"import failed: {done.stderr.strip()}")
        return path

    def capture(self):
        """The screen as an Image (kept on disk as a PPM beside the run logs)."""
        return load_image(self.screenshot(self._log_base("screen") + ".ppm"))

    def record_start(self, path=None):
        """Starts recording the null sink's monitor (all sound played) to a
        16-bit stereo 44.1 kHz WAV file; returns once sound is arriving."""
        if self._recording:
            raise HarnessError("a recording is already running")
        path = path or self._log_base("sound") + ".wav"
        recorder = self.spawn(["parec", f"--device={SINK}.monitor", "--latency-msec=20",
                               "--format=s16le", "--rate=44100", "--channels=2", "--file-format=wav",
                               path], name="parec")
        self._recording = (recorder, path)

        def live():
            if not recorder.alive():
                raise HarnessError(f"parec exited: {recorder.stderr().strip()}")
            return os.path.exists(path) and os.path.getsize(path) > 44 + 4096
        poll(live, 10, what="the recording to receive sound")
        return path

    def record_stop(self):
        """Stops the recording (SIGINT lets parec finish the WAV header); returns its path."""
        if not self._recording:
            raise HarnessError("no recording is running")
        recorder, path = self._recording
        self._recording = None
        recorder.stop(signal.SIGINT)
        return path

    def recorded_seconds(self):
        """How much the running recording holds so far (16-bit stereo, 44.1 kHz)."""
        if not self._recording:
            raise HarnessError("no recording is running")
        path = self._recording[1]
        size = os.path.getsize(path) if os.path.exists(path) else 0
        return max(0, size - 44) / (44100 * 2 * 2)

    @staticmethod
    def sound_stats(path):
        return sound_stats(path)

    def play_sound(self, path, timeout=30):
        """Plays a sound file into the null sink with paplay (not through Wine)."""
        proc = self.spawn(["paplay", f"--device={SINK}", path])
        try:
            rc = proc.wait(timeout)
        except HarnessError:
            proc.kill()
            raise
        if rc != 0:
            raise HarnessError(f"paplay {path} failed ({rc}): {proc.stderr().strip()}")

    # ---- registry

    def reg_add(self, key, name, data, kind="REG_SZ"):
        rc, out = self.run("reg", ["add", key, "/v", name, "/t", kind, "/d", str(data), "/f"])
        if rc != 0:
            raise HarnessError(f"reg add {key} {name} failed: {out.strip()}")

    def reg_delete(self, key, name):
        """Deletes a value; a missing value is fine."""
        self.run("reg", ["delete", key, "/v", name, "/f"])

    def set_windows_version(self, version):
        """'win98', 'winxp', 'win10', ...; None restores Wine's default.
        Applies to programs started afterwards."""
        if version is None:
            self.reg_delete(r"HKCU\Software\Wine", "Version")
        else:
            self.reg_add(r"HKCU\Software\Wine", "Version", version)


@contextlib.contextmanager
def private_env(folder, probe, display="xvfb", layout=displays.TWO_MONITORS, screen=displays.XVFB_SCREEN):
    """A whole environment of its own, for a tool or benchmark run outside
    CTest: set up in `folder`, yielded as an Env, always cleaned up."""
    state = os.path.join(folder, "state.json")
    subprocess.run([sys.executable, os.path.abspath(__file__), "setup", "--state", state,
                    "--prefix", os.path.join(folder, "prefix"), "--probe", probe,
                    "--display", display, "--layout", layout, "--screen", f"{screen[0]}x{screen[1]}"], check=True)
    try:
        with Env(state) as env:
            yield env
    finally:
        subprocess.run([sys.executable, os.path.abspath(__file__), "cleanup", "--state", state], check=False)


# ---------------------------------------------------------------- CLI

def parse_screen(text):
    try:
        width, height = (int(v) for v in text.lower().split("x"))
    except ValueError:
        raise HarnessError(f"a screen is WIDTHxHEIGHT, not {text!r}") from None
    return width, height


def cmd_setup(args):
    path = os.path.abspath(args.state)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        try:
            old = load_state(path)
        except ValueError:
            old = {"folder": os.path.dirname(path)}
        teardown(old)  # stale, or setup run twice: stop what it recorded first
    setup = Setup(path, args.prefix, args.probe, args.display, args.layout, parse_screen(args.screen))
    started = time.monotonic()
    try:
        timings = setup.run()
    except BaseException:
        teardown(setup.state, setup.popens)
        setup.save()
        raise
    log(f"ready in {time.monotonic() - started:.1f} s {timings}: DISPLAY={setup.state['display']} "
        f"PULSE_SERVER={setup.state['pulse_server']} WINEPREFIX={setup.state['prefix']}")
    return 0


def cmd_cleanup(args):
    path = os.path.abspath(args.state)
    if not os.path.exists(path):
        log(f"nothing to clean up: no {path}")
        return 0
    state = load_state(path)
    teardown(state)
    save_state(path, state)
    log("stopped; logs and prefix kept for diagnosis")
    return 0


def cmd_run(args):
    program = args.program[1:] if args.program[:1] == ["--"] else args.program
    if not program:
        raise HarnessError("run needs a program after --")
    rc, out, err = run_to_end(args.state, program, args.timeout, winedebug=args.winedebug, cwd=args.cwd)
    sys.stdout.write(out)
    sys.stdout.flush()
    sys.stderr.write(err)
    return rc


def run_to_end(state, program, timeout, **kwargs):
    """Runs a Windows program in the environment, killed after timeout s
    (exit code 124); returns (exit code, stdout, stderr)."""
    with Env(state) as env:
        proc = env.start(program[0], program[1:], **kwargs)
        try:
            rc = proc.wait(timeout)
        except HarnessError as error:
            proc.kill()
            log(str(error).splitlines()[0])
            rc = 124
        return rc, proc.stdout(), proc.stderr()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("setup", help="start Xvfb, PulseAudio, wineserver and a fresh prefix")
    p.add_argument("--state", required=True)
    p.add_argument("--prefix", required=True)
    p.add_argument("--probe", required=True, help="path of probe.exe")
    p.add_argument("--display", choices=("xvfb", "xorg-dummy"), default="xvfb",
                   help="one Xvfb screen (default), or Xorg's dummy driver with real monitors")
    p.add_argument("--layout", default=displays.TWO_MONITORS,
                   help="xorg-dummy monitors, WIDTHxHEIGHT+X+Y[,...], the first primary")
    p.add_argument("--screen", default="%dx%d" % displays.XVFB_SCREEN,
                   help="Xvfb's screen and the virtual desktop, WIDTHxHEIGHT")
    p.set_defaults(func=cmd_setup)
    p = sub.add_parser("cleanup", help="stop everything setup started")
    p.add_argument("--state", required=True)
    p.set_defaults(func=cmd_cleanup)
    p = sub.add_parser("run", help="run a Windows program; exit with its exit code")
    p.add_argument("--state", required=True)
    p.add_argument("--timeout", type=float, default=120)
    p.add_argument("--winedebug", default=None)
    p.add_argument("--cwd", default=None)
    p.add_argument("program", nargs=argparse.REMAINDER)
    p.set_defaults(func=cmd_run)
    args = parser.parse_args(argv)
    # A CTest timeout sends SIGTERM: unwind so that what was started is stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    try:
        return args.func(args)
    except HarnessError as error:
        log(f"error: {error}")
        return 1


if __name__ == "__main__":
    sys.exit(main())
