"""A connection of the scenario's own to the X display Wine draws on, for
what xdotool cannot do: move the pointer while the server is grabbed, at a
moment chosen by the state of a window on the X side."""

import contextlib
import ctypes
import ctypes.util

from common import HarnessError

IS_VIEWABLE = 2


class _Attributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


def _library():
    path = ctypes.util.find_library("X11")
    if path is None:
        raise HarnessError("libX11 is missing")
    x = ctypes.CDLL(path)
    display, window = ctypes.c_void_p, ctypes.c_ulong
    x.XOpenDisplay.restype = display
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XCloseDisplay.argtypes = [display]
    x.XDefaultRootWindow.restype = window
    x.XDefaultRootWindow.argtypes = [display]
    x.XQueryTree.argtypes = [display, window, ctypes.POINTER(window), ctypes.POINTER(window),
                             ctypes.POINTER(ctypes.POINTER(window)), ctypes.POINTER(ctypes.c_uint)]
    x.XFetchName.argtypes = [display, window, ctypes.POINTER(ctypes.c_char_p)]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XGetWindowAttributes.argtypes = [display, window, ctypes.POINTER(_Attributes)]
    x.XGrabServer.argtypes = [display]
    x.XUngrabServer.argtypes = [display]
    x.XSync.argtypes = [display, ctypes.c_int]
    x.XWarpPointer.argtypes = [display, window, window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                               ctypes.c_uint, ctypes.c_int, ctypes.c_int]
    x.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
    x.XSetErrorHandler.restype = ctypes.c_void_p
    return x


# Windows come and go while the tree is read; Xlib's default handler would
# end the scenario on the first BadWindow.
_ignore_errors = _ERROR_HANDLER(lambda display, event: 0)


class XDisplay:
    def __init__(self, name):
        self.x = _library()
        self.x.XSetErrorHandler(_ignore_errors)
        self.display = self.x.XOpenDisplay(name.encode())
        if not self.display:
            raise HarnessError(f"cannot open X display {name}")
        self.root = self.x.XDefaultRootWindow(self.display)

    def close(self):
        if self.display:
            self.x.XCloseDisplay(self.display)
            self.display = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return found

    def _name(self, window):
        name = ctypes.c_char_p()
        if not self.x.XFetchName(self.display, window, ctypes.byref(name)) or not name.value:
            return None
        value = name.value.decode("latin-1")
        self.x.XFree(name)
        return value

    def find(self, title):
        """An X window titled `title` among the root's children and theirs
        (Wine's top-level windows sit in its desktop window), or None."""
        for top in self._children(self.root):
            for window in [top, *self._children(top)]:
                if self._name(window) == title:
                    return window
        return None

    def viewable(self, window):
        attributes = _Attributes()
        if not self.x.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            return False
        return attributes.map_state == IS_VIEWABLE

    @contextlib.contextmanager
    def grabbed(self):
        """No other client's request is handled inside: nothing maps meanwhile."""
        self.x.XGrabServer(self.display)
        self.x.XSync(self.display, 0)
        try:
            yield
        finally:
            self.x.XUngrabServer(self.display)
            self.x.XSync(self.display, 0)

    def warp_by(self, dx, dy):
        self.x.XWarpPointer(self.display, 0, 0, 0, 0, 0, 0, dx, dy)
        self.x.XSync(self.display, 0)
