"""An installed copy of the saver (Solvane.scr beside Solvane.dll and its
settings file) and the sounds it is given, for front-end scenarios."""

import array
import math
import os
import re
import shutil
import subprocess
import wave

from common import expect, scratch_dir, windows_binary
from contract import KEYS, LAYOUT, NAMES
from renderer_common import TITLE as RENDERER_TITLE

FRONTEND = f"bin/{NAMES.frontendFile}"
RENDERER = f"bin/{NAMES.rendererFile}"
SAVER_RUN_TITLE = NAMES.saverRunTitle
HOST_TITLE = "Solvane Probe Host"
KEY_KIND, KEY_TRACK, KEY_FILE = KEYS.musicKind, KEYS.repeatTrack, KEYS.musicFile
SECTION_LINE = b"[" + KEYS.settingsSection + b"]\r\n"
# The settings dialog's controls as the program lays them out: the parent
# each stands in, and its box in twips there.
BUTTONS = {"cancel": ("window", *LAYOUT.cancelButton), "set": ("window", *LAYOUT.setButton),
           "file": ("panel", *LAYOUT.fileButton), "works": ("window", *LAYOUT.worksButton)}


class Installation:
    """A folder holding the programs, as a user's installation would."""

    def __init__(self, env, args, name, with_renderer=True):
        self.env = env
        self.folder = os.path.join(scratch_dir(env, name), "Solvane")
        os.makedirs(self.folder, exist_ok=True)
        self.scr = os.path.join(self.folder, NAMES.frontendFile)
        shutil.copy2(windows_binary(args, FRONTEND), self.scr)
        if with_renderer:
            shutil.copy2(windows_binary(args, RENDERER), os.path.join(self.folder, NAMES.rendererFile))
        self.ini = os.path.join(self.folder, "Solvane.ini")

    def configure(self, kind, track=0, music_file=""):
        """Writes the settings file as the dialog would: sign-blank numbers."""
        path = self.env.winpath(music_file) if music_file else ""
        self.write_ini(SECTION_LINE + KEY_KIND + f"= {kind}\r\n".encode() +
                       KEY_TRACK + f"= {track}\r\n".encode() +
                       KEY_FILE + b"=" + path.encode("cp932") + b"\r\n")

    def write_ini(self, data):
        with open(self.ini, "wb") as f:
            f.write(data)

    def start(self, *arguments, winedebug=None, extra_env=None):
        return self.env.start(self.scr, list(arguments), winedebug=winedebug, extra_env=extra_env)


def wait_saver_run(env, timeout=30, cls=None):
    """A saver run's two windows once both are up: the renderer's (of the
    class `cls`, where given), then the front end's own, which stays hidden."""
    renderer = env.wait_window(RENDERER_TITLE, timeout=timeout, cls=cls)
    return renderer, env.wait_window(SAVER_RUN_TITLE, timeout=10, visible=False)


def start_host(env, width, height):
    """A stand-in screen-saver host: a window of the probe with a client area
    of that size, in a process of its own."""
    host = env.start(env.probe_exe, ["host", width, height, 60000])
    window = env.wait_window(HOST_TITLE, timeout=15)
    return host, window


def pane_of(env, host_window):
    """The preview pane inside a host window, or None."""
    panes = [w for w in env.children(host_window.hwnd) if w.cls == NAMES.previewClass]
    return panes[0] if panes else None


def short_winpath(env, path):
    """The Windows short (8.3) form of a Linux path, as Wine makes it."""
    rc, out = env.run("winepath", ["-s", env.winpath(path)], timeout=30)
    expect(rc == 0 and out.strip(), f"no short form of {path}: {out!r}")
    return out.strip()


def make_tone(folder, name, seconds, frequency=440, volume=0.5):
    """A sine tone as an MP3 or WAV file (by extension), made with sox."""
    path = os.path.join(folder, name)
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", path, "synth", str(seconds), "sine",
                    str(frequency), "vol", str(volume)], check=True, capture_output=True, timeout=60)
    return path


class Recording:
    """A recorded WAV file cut into windows of loudness."""

    def __init__(self, path, window_seconds=0.05):
        with wave.open(path, "rb") as w:
            self.rate = w.getframerate()
            self.channels = w.getnchannels()
            frames = w.readframes(w.getnframes())
        self.window = window_seconds
        self.samples = array.array("h", frames)
        step = int(self.rate * window_seconds) * self.channels
        self.levels = []
        for i in range(0, len(self.samples) - step + 1, step):
            part = self.samples[i:i + step]
            self.levels.append(math.sqrt(sum(v * v for v in part) / step) / 32768.0)

    def level(self, start, end):
        """Mean RMS between two times in seconds from the start of the recording."""
        part = self.levels[int(start / self.window):int(end / self.window)]
        return sum(part) / len(part) if part else 0.0

    def longest_silence(self, start, end, threshold=0.02):
        longest = current = 0
        for value in self.levels[int(start / self.window):int(end / self.window)]:
            current = current + 1 if value < threshold else 0
            longest = max(longest, current)
        return longest * self.window

    def tone(self, start, end, loud=0.05):
        """The frequency heard between two times, judged where there is sound:
        the median of the zero-crossing frequency of each loud window, and
        how many seconds were loud. Silence in between (a file's slow first
        start, its restart) then neither lowers nor hides the tone."""
        frequencies = []
        first, last = int(start / self.window), int(end / self.window)
        for index in range(first, min(last, len(self.levels))):
            if self.levels[index] >= loud:
                at = index * self.window
                frequencies.append(self.dominant_frequency(at, at + self.window))
        frequencies.sort()
        median = frequencies[len(frequencies) // 2] if frequencies else 0.0
        return median, len(frequencies) * self.window

    def dominant_frequency(self, start, end):
        """Zero crossings of the left channel, as a rough frequency."""
        first = int(start * self.rate) * self.channels
        last = int(end * self.rate) * self.channels
        left = self.samples[first:last:self.channels]
        crossings = sum(1 for a, b in zip(left, left[1:]) if (a < 0) != (b < 0))
        return crossings / 2 / max(end - start, 1e-9)


# What the close step is judged by: the platform calls themselves, traced
# by the process that made them. Sound stops with its process anyway, so a
# silent recording after the end could never show a missing stop.
CLOSE_TRACE = "-all,+mci,+winmm,+cursor"
MP3_STOPPED = ["stop MP3Play", "close MP3Play"]
WAV_STOPPED = ["PlaySound(NULL)", "sound ended"]
CURSOR_SHOWN = "ShowCursor(-1)"


def close_step_calls(process):
    """The calls a traced run (CLOSE_TRACE) made that the close step makes,
    in their order: MCI commands, PlaySound with no sound and the sound
    player's end, and ShowCursor with its flag."""
    calls = []
    for line in process.stderr().splitlines():
        match = re.search(r'mciSendStringW \(L"((?:[^"\\]|\\.)*)"', line)
        if match:
            calls.append(match.group(1).replace('\\"', '"').replace("\\\\", "\\"))
        elif re.search(r"MULTIMEDIA_PlaySound pszSound='0+' hmod=0+ fdwSound=0+$", line):
            calls.append("PlaySound(NULL)")
        elif "proc_PlaySound Done playing" in line:
            calls.append("sound ended")
        elif match := re.search(r"NtUserShowCursor (-?\d+), count=", line):
            calls.append(f"ShowCursor({match.group(1)})")
    return calls


def expect_close_step(process, stopped, cursor=True):
    """The run's last calls are the music's stop (`stopped`), then the
    cursor handed back, all made before the process ended."""
    calls = close_step_calls(process)
    tail = stopped + ([CURSOR_SHOWN] if cursor else [])
    expect(calls[-len(tail):] == tail, f"the close step made {calls[-6:]}, not {tail}")


def mci_commands(process):
    """The MCI command strings a process sent, in order, from its +mci trace
    (Wine traces the wide form, to which the narrow one is passed on)."""
    commands = []
    for line in process.stderr().splitlines():
        match = re.search(r'mciSendStringW \(L"((?:[^"\\]|\\.)*)"', line)
        if match:
            commands.append(match.group(1).replace('\\"', '"').replace("\\\\", "\\"))
    return commands


def cursor_calls(process):
    """(show flag, new count) of every ShowCursor call, from a +cursor trace."""
    return [(int(a), int(b)) for a, b in re.findall(r"NtUserShowCursor (-?\d+), count=(-?\d+)", process.stderr())]


def expect_no_window(env, title, what):
    expect(env.find_window(title) is None, f"a window titled {title!r} exists {what}")
