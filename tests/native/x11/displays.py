"""X displays a test starts for itself, chosen by kind. Each is started and
stopped by its PID, recorded in a harness Tracker, and tells its name and its
monitors as (x, y, width, height) on the root window.

A kind is a class taking (logs folder, tracker) with `name`, `monitors` and
`stop()`; add it to KINDS to offer it to the tests."""

import os
import subprocess

from procs import HarnessError, poll, spawn, stop
from winenv import read_line

START_TIMEOUT = 30


class Xvfb:
    """One screen, one monitor. Open to every local client (-ac), so programs
    run as another user can draw on it."""

    size = (800, 600)

    def __init__(self, logs, tracker):
        self.tracker = tracker
        read_fd, write_fd = os.pipe()
        try:
            self.proc, self.record = spawn(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.size[0]}x{self.size[1]}x24",
                 "-ac", "-nolisten", "tcp", "+extension", "GLX", "-noreset"],
                os.path.join(logs, "xvfb"), pass_fds=(write_fd,))
            tracker.add(self.record)
            os.close(write_fd)
            write_fd = None
            number = read_line(read_fd, START_TIMEOUT)
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)
        if not number.isdigit():
            self.stop()
            raise HarnessError(f"Xvfb did not report a display; see {self.record['stderr']}")
        self.name = f":{number}"
        self.monitors = [(0, 0, *self.size)]
        env = dict(os.environ, DISPLAY=self.name)
        poll(lambda: subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL).returncode == 0,
             START_TIMEOUT, what=f"Xvfb on {self.name} to answer")

    def stop(self):
        stop(self.record, proc=self.proc)
        self.tracker.remove(self.record)


KINDS = {"xvfb": Xvfb}
