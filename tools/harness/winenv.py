#!/usr/bin/env python3
"""Wine test environment: a private X display (Xvfb), a private PulseAudio with
a null sink, and a WINEPREFIX with a persistent wineserver and a virtual
desktop. Everything started is recorded in a JSON state file and stopped by PID.

  winenv.py setup   --state FILE --prefix DIR --probe probe.exe [--display xorg-dummy [--layout L]]
  winenv.py cleanup --state FILE
  winenv.py run     --state FILE [--timeout S] [--winedebug CH] [--cwd DIR] -- PROGRAM.exe ARGS...

Scenario scripts use Env (see below) on the same state file.
"""

import argparse
import atexit
import contextlib
import itertools
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

# Image and load_image are also for scenarios that read screenshots.
import displays  # noqa: E402
from media import Image, load_image, sound_stats  # noqa: E402,F401
from procs import HarnessError, Tracker, is_running, log, poll, spawn, start_time, stop  # noqa: E402
from wineprefix import (DLL_OVERRIDES, PREFIX_MARK, START_TIMEOUT, boot_prefix, kill_prefix,  # noqa: E402,F401
                        prefix_processes, start_wineserver, stop_prefix_processes)

SINK = "solvane_null"
DESKTOP = "Default"
DESKTOP_TITLE = f"{DESKTOP} - Wine desktop"
STOP_TIMEOUT = 5

# Windows face names mapped to the IPA fonts (proportional faces to the
# proportional IPA face).
FONT_REPLACEMENTS = {
    "MS UI Gothic": "IPAPGothic",
    "MS PGothic": "IPAPGothic",
    "\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af": "IPAPGothic",  # ＭＳ Ｐゴシック
    "MS Gothic": "IPAGothic",
    "\uff2d\uff33 \u30b4\u30b7\u30c3\u30af": "IPAGothic",  # ＭＳ ゴシック
}

MOUSE_BUTTONS = {"left": 1, "middle": 2, "right": 3}
WM_CLOSE = 0x0010


# ---------------------------------------------------------------- state file

def load_state(path):
    try:
        with open(path) as f:
            return json.load(f)
    except FileNotFoundError:
        raise HarnessError(f"no Wine environment state at {path}: run 'winenv.py setup' first") from None


def save_state(path, state):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        json.dump(state, f, indent=2)
    os.replace(tmp, path)


def base_env(state):
    """Environment for every process that talks to our X, Pulse and Wine."""
    env = dict(os.environ)
    env.pop("WAYLAND_DISPLAY", None)
    ours = dict(DISPLAY=state.get("display"), PULSE_SERVER=state.get("pulse_server"),
                WINEPREFIX=state.get("prefix"), WINEDLLOVERRIDES=DLL_OVERRIDES, WINEDEBUG="-all",
                HOME=state.get("home"), XDG_RUNTIME_DIR=state.get("runtime"))
    env.update({name: value for name, value in ours.items() if value})
    return env


# ---------------------------------------------------------------- setup

class Setup:
    def __init__(self, state_path, prefix, probe, display_kind="xvfb", layout=displays.TWO_MONITORS):
        self.path = os.path.abspath(state_path)
        folder = os.path.dirname(self.path)
        monitors = displays.parse_layout(layout) if display_kind == "xorg-dummy" else []
        self.state = {
            "display_kind": display_kind,
            "monitors": [m.rect for m in monitors],
            "screen": list(displays.screen_size(monitors) if monitors else displays.XVFB_SCREEN),
            "folder": folder,
            "prefix": os.path.abspath(prefix),
            "probe": os.path.abspath(probe),
            "home": os.path.join(folder, "home"),
            "runtime": os.path.join(folder, "runtime"),
            "logs": os.path.join(folder, "logs"),
            "display": None,
            "pulse_server": None,
            "desktop_window": None,
            "processes": {},
            "stopped": False,
        }
        self.popens = {}

    def save(self):
        save_state(self.path, self.state)

    def record(self, name, proc, record):
        self.state["processes"][name] = record
        self.popens[name] = proc
        self.save()

    def run(self):
        if not os.path.isfile(self.state["probe"]):
            raise HarnessError(f"probe program not found: {self.state['probe']} (build the Windows tree)")
        # Outputs of the previous run go, like its prefix; logs are rewritten.
        shutil.rmtree(os.path.join(self.state["folder"], "runs"), ignore_errors=True)
        for d in (self.state["home"], self.state["runtime"], self.state["logs"]):
            os.makedirs(d, exist_ok=True)
        os.chmod(self.state["runtime"], 0o700)
        timings = {}
        for step in (self.start_display, self.start_pulseaudio, self.create_prefix, self.start_desktop):
            t0 = time.monotonic()
            step()
            timings[step.__name__] = round(time.monotonic() - t0, 2)
        self.state["setup_seconds"] = timings
        self.save()
        return timings

    def start_display(self):
        monitors = [displays.Monitor(r[2] - r[0], r[3] - r[1], r[0], r[1]) for r in self.state["monitors"]]
        _, _, display = displays.start_server(self.state["display_kind"], self.state["folder"],
                                              self.state["logs"], monitors,
                                              lambda proc, record: self.record("xserver", proc, record))
        self.state["display"] = display
        self.save()

    def start_pulseaudio(self):
        folder = os.path.join(self.state["runtime"], "pulse")
        os.makedirs(folder, mode=0o700, exist_ok=True)
        socket = os.path.join(folder, "native")
        if len(socket) > 100:  # sun_path limit
            socket = os.path.join("/tmp", f"solvane-pulse-{os.getpid()}")
        self.state["pulse_server"] = f"unix:{socket}"
        env = dict(os.environ, HOME=self.state["home"], XDG_RUNTIME_DIR=self.state["runtime"],
                   PULSE_RUNTIME_PATH=folder, PULSE_STATE_PATH=os.path.join(folder, "state"))
        env.pop("PULSE_SERVER", None)
        env.pop("DISPLAY", None)
        # As root PulseAudio only warns in per-user mode; no realtime or D-Bus
        # is needed, and anonymous auth spares a cookie.
        argv = ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                "--disable-shm=yes", "--realtime=no", "--high-priority=no", "--log-target=stderr",
                "-L", f"module-null-sink sink_name={SINK} sink_properties=device.description={SINK}",
                "-L", f"module-native-protocol-unix socket={socket} auth-anonymous=1"]
        proc, record = spawn(argv, os.path.join(self.state["logs"], "pulseaudio"), env=env)
        self.record("pulseaudio", proc, record)
        client = dict(os.environ, PULSE_SERVER=self.state["pulse_server"], HOME=self.state["home"])

        def answers():
            if proc.poll() is not None:
                raise HarnessError(f"pulseaudio exited ({proc.returncode}); see {record['stderr']}")
            return subprocess.run(["pactl", "info"], env=client, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0

        poll(answers, START_TIMEOUT, what="pulseaudio to answer")
        subprocess.run(["pactl", "set-default-sink", SINK], env=client, check=True, timeout=10,
                       stdout=subprocess.DEVNULL)
        # An endless silent stream keeps the null sink running: its monitor then
        # delivers sound at once and recordings follow wall-clock time (an idle
        # sink gives the monitor nothing, and wakes up only after about a second).
        proc, record = spawn(["pacat", "--playback", "--raw", "--format=s16le", "--rate=44100",
                              "--channels=2", "--latency-msec=20", f"--device={SINK}", "/dev/zero"],
                             os.path.join(self.state["logs"], "silence"), env=client)
        self.record("silence", proc, record)

    def create_prefix(self):
        prefix = self.state["prefix"]
        if os.path.exists(prefix):
            if not os.path.exists(os.path.join(prefix, PREFIX_MARK)) and os.listdir(prefix):
                raise HarnessError(f"{prefix} exists and was not made by this harness; not replacing it")
            stop_prefix_processes(prefix)  # e.g. a run whose state file was lost
            shutil.rmtree(prefix)  # a fresh prefix for every run
        os.makedirs(prefix)
        # Settings in place before the first process, so the desktop wineboot
        # brings up is already the virtual one.
        with open(os.path.join(prefix, "user.reg"), "w") as f:
            f.write(user_registry(virtual_desktop=self.state["display_kind"] == "xvfb"))
        env = base_env(self.state)
        start_wineserver(env, self.state["logs"], lambda proc, record: self.record("wineserver", proc, record))
        boot_prefix(env, self.state["logs"], self.state["processes"]["wineserver"])

    def start_desktop(self):
        # Wine closes the virtual desktop shortly after the last program on it
        # exits; a program that stays attached keeps it (and its X window) up.
        proc, record = spawn(["wine", self.state["probe"], "keep"],
                             os.path.join(self.state["logs"], "keeper"), env=base_env(self.state))
        self.record("keeper", proc, record)
        if self.state["display_kind"] != "xvfb":
            return  # monitors of their own: no virtual desktop window to find
        env = base_env(self.state)

        def desktop_window():
            if proc.poll() is not None:
                raise HarnessError(f"probe keep exited ({proc.returncode}); see {record['stderr']}")
            found = subprocess.run(["xdotool", "search", "--name", f"^{DESKTOP_TITLE}$"], env=env,
                                   capture_output=True, text=True)
            return found.stdout.split()[0] if found.stdout.split() else None

        window = poll(desktop_window, START_TIMEOUT, what="the Wine virtual desktop window")
        self.state["desktop_window"] = int(window)
        pid = subprocess.run(["xdotool", "getwindowpid", window], env=env, capture_output=True,
                             text=True).stdout.strip()
        if pid.isdigit():
            self.state["processes"]["explorer"] = {
                "pid": int(pid), "start": start_time(int(pid)), "argv": ["explorer.exe", "/desktop"]}
        self.save()


def user_registry(virtual_desktop=True):
    """HKCU settings in Wine's own registry file format (the server loads it
    at start): virtual desktop (Xvfb only; real monitors need none) and
    Japanese font replacements."""
    def key(path, values):
        lines = "".join(f'"{reg_escape(name)}"="{reg_escape(data)}"\n' for name, data in values.items())
        return f"[{path}]\n{lines}\n"

    return ("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
            "#arch=win64\n\n"
            + (key(r"Software\\Wine\\Explorer", {"Desktop": DESKTOP})
               + key(r"Software\\Wine\\Explorer\\Desktops",
                     {DESKTOP: f"{displays.XVFB_SCREEN[0]}x{displays.XVFB_SCREEN[1]}"})
               if virtual_desktop else "")
            + key(r"Software\\Wine\\Fonts\\Replacements", FONT_REPLACEMENTS))


def reg_escape(text):
    return "".join(c if 32 <= ord(c) < 127 and c not in '"\\' else f"\\x{ord(c):04x}" for c in text)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ---------------------------------------------------------------- cleanup

def teardown(state, popens=None):
    """Stops everything the state records, newest first. Keeps all files.
    popens: our own children among them, so they are reaped too."""
    procs = state.get("processes", {})
    popens = popens or {}
    if "folder" in state:
        Tracker(os.path.join(state["folder"], "tracked")).stop_all(log=log)
    server = procs.get("wineserver")
    if server and is_running(server) and state.get("prefix"):
        # Ends every process of our prefix (only ours: WINEPREFIX is ours).
        kill_prefix(base_env(state), state.get("logs", state["folder"]))
    for name in ("keeper", "explorer", "wineserver", "silence", "pulseaudio", "xserver"):
        if name in procs:
            stop(procs[name], timeout=STOP_TIMEOUT, proc=popens.get(name))
    if state.get("prefix"):
        stop_prefix_processes(state["prefix"])
    if state.get("folder"):
        # What a lost or damaged state file no longer names still writes its
        # output into our folder.
        for pid in processes_writing_into(state["folder"]):
            log(f"stopping process {pid} that writes into {state['folder']}")
            stop({"pid": pid, "start": start_time(pid), "argv": [str(pid)]}, timeout=STOP_TIMEOUT)
    state["stopped"] = True


def processes_writing_into(folder):
    """PIDs of live processes whose stdout or stderr is a file under folder."""
    folder = os.path.abspath(folder) + os.sep
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            targets = [os.readlink(f"/proc/{entry}/fd/{fd}") for fd in (1, 2)]
        except OSError:
            continue
        if any(t.startswith(folder) for t in targets) and \
                is_running({"pid": int(entry), "start": start_time(int(entry))}):
            found.append(int(entry))
    return found


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
def private_env(folder, probe, display="xvfb", layout=displays.TWO_MONITORS):
    """A whole environment of its own, for a tool or benchmark run outside
    CTest: set up in `folder`, yielded as an Env, always cleaned up."""
    state = os.path.join(folder, "state.json")
    subprocess.run([sys.executable, os.path.abspath(__file__), "setup", "--state", state,
                    "--prefix", os.path.join(folder, "prefix"), "--probe", probe,
                    "--display", display, "--layout", layout], check=True)
    try:
        with Env(state) as env:
            yield env
    finally:
        subprocess.run([sys.executable, os.path.abspath(__file__), "cleanup", "--state", state], check=False)


# ---------------------------------------------------------------- CLI

def cmd_setup(args):
    path = os.path.abspath(args.state)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        try:
            old = load_state(path)
        except ValueError:
            old = {"folder": os.path.dirname(path)}
        teardown(old)  # stale, or setup run twice: stop what it recorded first
    setup = Setup(path, args.prefix, args.probe, args.display, args.layout)
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
