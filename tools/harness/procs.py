"""Processes the harness starts: spawned with output to files, remembered by
PID plus start time (so a reused PID is never mistaken for ours), stopped by
that PID with a bounded wait."""

import json
import os
import signal
import subprocess
import sys
import time


class HarnessError(Exception):
    """Something the harness needs did not happen; the message says what."""


def log(message):
    print(f"winenv: {message}", file=sys.stderr, flush=True)


def poll(condition, timeout, interval=0.02, what="condition"):
    """Calls condition() until it returns a true value; returns that value.
    Raises HarnessError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def _stat_fields(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            text = f.read()
    except OSError:
        return None
    # The command name may hold spaces and parentheses; fields follow the last ')'.
    return text[text.rindex(")") + 2:].split()


def start_time(pid):
    fields = _stat_fields(pid)
    return int(fields[19]) if fields else None


def is_running(record):
    """True if the recorded process still exists, is the same process and is
    not a zombie (orphans may never be reaped on machines whose init does not)."""
    fields = _stat_fields(record["pid"])
    return bool(fields) and fields[0] != "Z" and int(fields[19]) == record["start"]


def spawn(argv, log_base, env=None, cwd=None, pass_fds=(), detach=True, run_as=None):
    """Starts argv with stdin from /dev/null and stdout/stderr to
    log_base.out / log_base.err, as the user and group ids run_as = (uid, gid)
    if given. Returns (Popen, record)."""
    os.makedirs(os.path.dirname(log_base), exist_ok=True)
    identity = {"user": run_as[0], "group": run_as[1], "extra_groups": []} if run_as else {}
    with open(log_base + ".out", "wb") as out, open(log_base + ".err", "wb") as err:
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=env,
                                cwd=cwd, pass_fds=pass_fds, start_new_session=detach, **identity)
    record = {"pid": proc.pid, "start": start_time(proc.pid), "argv": list(argv),
              "stdout": log_base + ".out", "stderr": log_base + ".err"}
    return proc, record


def stop(record, timeout=5.0, first_signal=signal.SIGTERM, proc=None):
    """Stops a recorded process: first_signal, then SIGKILL after timeout.
    Returns True if it had to be stopped, False if it was already gone."""
    if not is_running(record):
        _reap(proc)
        return False
    for sig, wait in ((first_signal, timeout), (signal.SIGKILL, timeout)):
        try:
            os.kill(record["pid"], sig)
        except ProcessLookupError:
            break
        deadline = time.monotonic() + wait
        while is_running(record) and time.monotonic() < deadline:
            _reap(proc)
            time.sleep(0.02)
        if not is_running(record):
            break
    _reap(proc)
    if is_running(record):
        raise HarnessError(f"process {record['pid']} ({record['argv'][0]}) survived SIGKILL")
    return True


def _reap(proc):
    if proc is not None:
        try:
            proc.wait(timeout=0)
        except subprocess.TimeoutExpired:
            pass


class Tracker:
    """One file per running process in a folder, naming the process that
    started it, so that what a test that died left behind can be stopped."""

    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)

    def add(self, record):
        owner = {"pid": os.getpid(), "start": start_time(os.getpid())}
        with open(os.path.join(self.folder, f"{record['pid']}.json"), "w") as f:
            json.dump(dict(record, owner=owner), f)

    def remove(self, record):
        try:
            os.remove(os.path.join(self.folder, f"{record['pid']}.json"))
        except FileNotFoundError:
            pass

    def records(self):
        result = []
        for name in sorted(os.listdir(self.folder)):
            try:
                with open(os.path.join(self.folder, name)) as f:
                    result.append(json.load(f))
            except (OSError, ValueError):
                continue
        return result

    def stop_all(self, log=None, orphans_only=False):
        """Stops every tracked process that still runs (only those whose
        starter is gone, if orphans_only); returns how many."""
        stopped = 0
        for record in self.records():
            if orphans_only and is_running(record.get("owner", {"pid": 0, "start": None})):
                continue
            if stop(record, timeout=2.0, first_signal=signal.SIGKILL):
                stopped += 1
                if log:
                    log(f"stopped leftover process {record['pid']}: {' '.join(record['argv'])}")
            self.remove(record)
        return stopped
