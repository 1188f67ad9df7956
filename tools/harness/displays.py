"""The X servers the harness runs: Xvfb (one screen, the default) and Xorg
with the dummy video driver, whose RandR outputs give Wine and GLX programs
real monitors in any layout.

A layout is written as comma-separated WIDTHxHEIGHT+X+Y monitors, the first
the primary one, e.g. "1920x1080+0+0,1280x720+1920+0"; X may be negative
(a monitor left of the primary), and the whole is moved so that the screen
starts at 0,0 as X requires.
"""

import os
import re
import select
import subprocess
import time
from dataclasses import dataclass

from procs import HarnessError, poll, spawn, stop

XVFB_SCREEN = (1920, 1080)
TWO_MONITORS = "1920x1080+0+0,1280x720+1920+0"
START_TIMEOUT = 30


@dataclass
class Monitor:
    width: int
    height: int
    x: int
    y: int

    @property
    def rect(self):
        return (self.x, self.y, self.x + self.width, self.y + self.height)


def parse_layout(text):
    monitors = []
    for part in text.split(","):
        match = re.fullmatch(r"(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", part.strip())
        if not match:
            raise HarnessError(f"bad monitor {part!r} in layout {text!r}: want WIDTHxHEIGHT+X+Y")
        monitors.append(Monitor(*(int(v) for v in match.groups())))
    if not monitors:
        raise HarnessError("a layout needs at least one monitor")
    # X places the screen at 0,0: the primary keeps its place relative to the others.
    left = min(m.x for m in monitors)
    top = min(m.y for m in monitors)
    return [Monitor(m.width, m.height, m.x - left, m.y - top) for m in monitors]


def screen_size(monitors):
    return (max(m.x + m.width for m in monitors), max(m.y + m.height for m in monitors))


def xorg_config(monitors):
    width, height = screen_size(monitors)
    return f"""Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual {max(width, 3200)} {max(height, 1200)}
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
EndSection
"""


def read_display_number(read_fd, timeout):
    """The display number an X server started with -displayfd writes."""
    data = b""
    deadline = time.monotonic() + timeout
    while b"\n" not in data:
        ready, _, _ = select.select([read_fd], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(read_fd, 64) if ready else b""
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def start_server(kind, folder, logs, monitors, track, screen=XVFB_SCREEN, open_to_all=False, glx=True, detach=True):
    """Starts Xvfb (of the given screen size) or Xorg-dummy (with the
    monitors) on a free display; track(proc, record) learns of the process as
    soon as it exists. open_to_all admits every local client (-ac), so that
    programs run as another user can draw; glx=False starts Xvfb without GLX;
    detach=False keeps the server in the caller's session, so that a test
    killed on its timeout takes it along. Returns (proc, record, ':N')."""
    os.makedirs(folder, exist_ok=True)
    os.makedirs(logs, exist_ok=True)
    read_fd, write_fd = os.pipe()
    access = ["-ac"] if open_to_all else []
    try:
        if kind == "xvfb":
            argv = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{screen[0]}x{screen[1]}x24",
                    "-nolisten", "tcp", "+extension" if glx else "-extension", "GLX", "-noreset", *access]
        elif kind == "xorg-dummy":
            config = os.path.join(folder, "xorg-dummy.conf")
            with open(config, "w") as f:
                f.write(xorg_config(monitors))
            argv = ["Xorg", "-displayfd", str(write_fd), "-config", config,
                    "-logfile", os.path.join(logs, "xorg.log"), "-noreset", "-nolisten", "tcp", *access]
        else:
            raise HarnessError(f"unknown display kind {kind!r}")
        proc, record = spawn(argv, os.path.join(logs, kind), pass_fds=(write_fd,), detach=detach)
        track(proc, record)
        os.close(write_fd)
        write_fd = None
        # The server writes its number, then a newline in a second write:
        # closing the pipe early would end it.
        number = read_display_number(read_fd, START_TIMEOUT)
    finally:
        os.close(read_fd)
        if write_fd is not None:
            os.close(write_fd)
    if not number.isdigit():
        raise HarnessError(f"{argv[0]} did not report a display; see {record['stderr']}")
    display = f":{number}"
    env = dict(os.environ, DISPLAY=display)
    poll(lambda: subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL).returncode == 0,
         START_TIMEOUT, what=f"{argv[0]} on {display} to answer")
    if kind == "xorg-dummy":
        apply_layout(display, monitors)
    return proc, record, display


def apply_layout(display, monitors):
    """Puts the monitors in place with RandR: output DUMMYk shows monitor k;
    the other outputs are switched off. The root turns black."""
    env = dict(os.environ, DISPLAY=display)

    def xrandr(*args):
        done = subprocess.run(["xrandr", *map(str, args)], env=env, capture_output=True, text=True, timeout=30)
        if done.returncode:
            raise HarnessError(f"xrandr {' '.join(map(str, args))} failed: {done.stderr.strip()}")
        return done.stdout

    args = []
    for index, m in enumerate(monitors):
        mode = f"{m.width}x{m.height}"
        output = f"DUMMY{index}"
        if index > 0:
            xrandr("--addmode", output, mode)
        args += ["--output", output, "--mode", mode, "--pos", f"{m.x}x{m.y}"] + (["--primary"] if index == 0 else [])
    on = {f"DUMMY{index}" for index in range(len(monitors))}
    connected = re.findall(r"^(DUMMY\d+) connected", xrandr(), re.MULTILINE)
    for output in connected:
        if output not in on:
            args += ["--output", output, "--off"]
    xrandr(*args)
    width, height = screen_size(monitors)
    xrandr("--fb", f"{width}x{height}")
    listed = xrandr("--listmonitors")
    if f"Monitors: {len(monitors)}" not in listed:
        raise HarnessError(f"RandR did not take the layout: {listed}")
    subprocess.run(["xsetroot", "-solid", "black"], env=env, check=True, timeout=30)


class TestDisplay:
    """An X server a test starts for itself, tracked and stopped by its PID;
    it tells its name and its monitors as (left, top, right, bottom), as
    every rectangle of the harness is written."""

    def __init__(self, kind, logs, tracker, layout=TWO_MONITORS, screen=(800, 600)):
        self.tracker = tracker
        self.record = None
        monitors = parse_layout(layout) if kind == "xorg-dummy" else []

        def track(proc, record):
            self.proc, self.record = proc, record
            tracker.add(record)

        try:
            _, _, self.name = start_server(kind, logs, logs, monitors, track, screen=screen, open_to_all=True)
        except BaseException:
            self.stop()
            raise
        self.monitors = [m.rect for m in monitors] or [(0, 0, *screen)]

    def stop(self):
        if self.record:
            stop(self.record, proc=self.proc)
            self.tracker.remove(self.record)
            self.record = None


KINDS = {kind: (lambda logs, tracker, kind=kind: TestDisplay(kind, logs, tracker)) for kind in ("xvfb", "xorg-dummy")}
