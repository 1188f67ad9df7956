"""Setting up and tearing down the Wine test environment: the state file
that records it, the X display, PulseAudio with its null sink, a fresh
prefix with its wineserver and virtual desktop, and stopping all of it by PID.
winenv.py drives these from its command line."""

import json
import os
import shutil
import subprocess
import time

import displays
from procs import HarnessError, Tracker, is_running, log, poll, spawn, start_time, stop
from wineprefix import (DLL_OVERRIDES, PREFIX_MARK, START_TIMEOUT, boot_prefix, kill_prefix, start_wineserver,
                        stop_prefix_processes)

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
    def __init__(self, state_path, prefix, probe, display_kind="xvfb", layout=displays.TWO_MONITORS,
                 screen=displays.XVFB_SCREEN):
        self.path = os.path.abspath(state_path)
        folder = os.path.dirname(self.path)
        monitors = displays.parse_layout(layout) if display_kind == "xorg-dummy" else []
        self.state = {
            "display_kind": display_kind,
            "monitors": [m.rect for m in monitors],
            "screen": list(displays.screen_size(monitors) if monitors else screen),
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
                                              lambda proc, record: self.record("xserver", proc, record),
                                              screen=self.state["screen"])
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
            f.write(user_registry(virtual_desktop=self.state["display_kind"] == "xvfb", screen=self.state["screen"]))
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


def user_registry(virtual_desktop=True, screen=displays.XVFB_SCREEN):
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
                     {DESKTOP: f"{screen[0]}x{screen[1]}"})
               if virtual_desktop else "")
            + key(r"Software\\Wine\\Fonts\\Replacements", FONT_REPLACEMENTS))


def reg_escape(text):
    return "".join(c if 32 <= ord(c) < 127 and c not in '"\\' else f"\\x{ord(c):04x}" for c in text)


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
