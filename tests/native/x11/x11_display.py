"""A private X display for the native program's tests: Xvfb with or without
GLX, and the few Xlib calls the tests make on their own connection."""
import ctypes
import itertools
import os
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools", "harness"))

from displays import start_server  # noqa: E402
from procs import is_running, poll, spawn, stop  # noqa: E402,F401  (the harness's bounded poll, for the tests too)

SCREEN = (640, 480)


class Xlib:
    """The few Xlib calls the tests need, through ctypes, on their own connection."""

    def __init__(self, display):
        self.lib = ctypes.CDLL("libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.lib.XCreateSimpleWindow.restype = ctypes.c_ulong
        self.lib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                                 ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                                 ctypes.c_ulong]
        for name, args in (("XMapWindow", [ctypes.c_void_p, ctypes.c_ulong]),
                           ("XDestroyWindow", [ctypes.c_void_p, ctypes.c_ulong]),
                           ("XResizeWindow", [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]),
                           ("XSetInputFocus", [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]),
                           ("XSync", [ctypes.c_void_p, ctypes.c_int]),
                           ("XCloseDisplay", [ctypes.c_void_p])):
            getattr(self.lib, name).argtypes = args
        self.display = self.lib.XOpenDisplay(display.encode())
        if not self.display:
            raise AssertionError(f"cannot open {display}")

    def window(self, x, y, width, height, parent=None):
        parent = parent or self.lib.XDefaultRootWindow(self.display)
        window = self.lib.XCreateSimpleWindow(self.display, parent, x, y, width, height, 0, 0, 0)
        self.lib.XMapWindow(self.display, window)
        self.lib.XSync(self.display, 0)
        return window

    def input_only_window(self, x, y, width, height):
        """A window that takes input but has no pixels: no GL can draw in it."""
        self.lib.XCreateWindow.restype = ctypes.c_ulong
        self.lib.XCreateWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                           ctypes.c_uint, ctypes.c_uint, ctypes.c_int, ctypes.c_uint, ctypes.c_void_p,
                                           ctypes.c_ulong, ctypes.c_void_p]
        input_only = 2
        window = self.lib.XCreateWindow(self.display, self.lib.XDefaultRootWindow(self.display), x, y, width, height,
                                        0, 0, input_only, None, 0, None)
        self.lib.XMapWindow(self.display, window)
        self.lib.XSync(self.display, 0)
        return window

    def destroy(self, window):
        self.lib.XDestroyWindow(self.display, window)
        self.lib.XSync(self.display, 0)

    def resize(self, window, width, height):
        self.lib.XResizeWindow(self.display, window, width, height)
        self.lib.XSync(self.display, 0)

    def focus(self, window):
        self.lib.XSetInputFocus(self.display, window, 1, 0)  # RevertToPointerRoot, CurrentTime
        self.lib.XSync(self.display, 0)

    def close(self):
        self.lib.XCloseDisplay(self.display)


class XServer:
    """An Xvfb of the tests' own on a free display, with or without GLX,
    known by its PID and start time (never by name) and stopped by them."""

    def __init__(self, glx=True):
        self.logs = tempfile.mkdtemp(prefix="solvane-xvfb-")
        self.record = self.proc = None

        def track(proc, record):
            self.proc, self.record = proc, record

        try:
            _, _, self.display = start_server("xvfb", self.logs, self.logs, [], track, screen=SCREEN, glx=glx,
                                              detach=False)
        except BaseException:
            self.stop()
            raise

    def pause(self):
        """Stops the server as SIGSTOP does: it takes no request until resumed."""
        if is_running(self.record):
            os.kill(self.record["pid"], signal.SIGSTOP)

    def resume(self):
        if is_running(self.record):
            os.kill(self.record["pid"], signal.SIGCONT)

    def stop(self):
        if self.record:
            self.resume()
            stop(self.record, proc=self.proc)
            self.record = None


def start_xvfb(glx=True):
    """An Xvfb on a free display, with or without GLX; returns (server, ':N')."""
    server = XServer(glx)
    return server, server.display


def stop_xvfb(server):
    server.stop()


class Runs:
    """The program's runs in one test, each with its standard error in a file
    of its own; those still running at the end are killed by their PID."""

    numbers = itertools.count()

    def __init__(self, folder, program):
        self.folder, self.program, self.started = folder, program, []

    def start(self, arguments, env):
        # The program writes at the end whatever the readers do: a reader that
        # shared its file position would move its writes back over old lines.
        log = open(os.path.join(self.folder, f"run-{next(self.numbers)}.err"), "a")
        proc = subprocess.Popen([self.program, *map(str, arguments)], env=env, stdout=subprocess.DEVNULL, stderr=log)
        proc.log = log
        self.started.append(proc)
        return proc

    @staticmethod
    def stderr(proc):
        with open(proc.log.name) as log:
            return log.read()

    def end(self):
        for proc in self.started:
            if proc.poll() is None:
                proc.kill()
                proc.wait(10)
            proc.log.close()


class ProgramTest(unittest.TestCase):
    """Tests of the native program (`program`, set before they run) on an
    Xvfb of their class's own; each test's runs are ended and the windows it
    made destroyed after it."""

    program = None
    folder_prefix = "solvane-x11-"

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix=cls.folder_prefix)
        cls.server = XServer()
        cls.display = cls.server.display
        cls.env = dict(os.environ, DISPLAY=cls.display)
        cls.env.pop("XSCREENSAVER_WINDOW", None)
        cls.x = Xlib(cls.display)

    @classmethod
    def tearDownClass(cls):
        cls.x.close()
        cls.server.stop()

    def setUp(self):
        self.runs = Runs(self.folder, self.program)
        self.windows = []

    def tearDown(self):
        self.server.resume()
        self.runs.end()
        for window in self.windows:
            self.x.destroy(window)

    def start(self, *arguments, env=None):
        return self.runs.start(arguments, env or self.env)

    def stderr(self, proc):
        return self.runs.stderr(proc)
