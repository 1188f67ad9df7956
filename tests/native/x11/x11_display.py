"""A private X display for the native program's tests: Xvfb with or without
GLX, and the few Xlib calls the tests make on their own connection."""
import ctypes
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools", "harness"))

from procs import poll  # noqa: E402,F401  (the harness's bounded poll, for the tests too)

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

    def window(self, x, y, width, height):
        root = self.lib.XDefaultRootWindow(self.display)
        window = self.lib.XCreateSimpleWindow(self.display, root, x, y, width, height, 0, 0, 0)
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


def start_xvfb(glx=True):
    """An Xvfb on a free display, with or without GLX; returns (process, ':N')."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                             "-nolisten", "tcp", "+extension" if glx else "-extension", "GLX"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.strip():
        xvfb.kill()
        raise AssertionError("Xvfb did not start")
    return xvfb, f":{number.decode().strip()}"


def stop_xvfb(xvfb):
    xvfb.terminate()
    try:
        xvfb.wait(10)
    except subprocess.TimeoutExpired:
        xvfb.kill()
        xvfb.wait(10)
