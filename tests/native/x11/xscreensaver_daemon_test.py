#!/usr/bin/env python3
"""The Debian package under the real xscreensaver daemon: installed with apt,
its files where the daemon and its settings look, the daemon (run as an
unprivileged user on a display of its own) shows our animation on every
monitor when activated and ends it when deactivated, and the package removes
cleanly. The machine is left as it was found: package purged, user deleted,
every process stopped by PID, also on failure.

  xscreensaver_daemon_test.py --deb FILE --program BUILT_SOLVANE --out DIR [--display KIND]
"""

import argparse
import contextlib
import fcntl
import os
import pwd
import shutil
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools", "harness"))

import displays  # noqa: E402
from media import load_image  # noqa: E402
from procs import HarnessError, Tracker, poll, spawn, start_time, stop  # noqa: E402

PACKAGE = "solvane"
HACK = "/usr/libexec/xscreensaver/solvane"
CONFIG = "/usr/share/xscreensaver/config/solvane.xml"
PACKAGE_FILES = [HACK, "/usr/bin/solvane", CONFIG, "/usr/share/man/man6/solvane.6.gz",
                 "/usr/share/applications/solvane.desktop", "/usr/share/doc/solvane/copyright",
                 "/usr/share/doc/solvane/changelog.gz"]
# Shared by every run of this test on the machine: one run at a time. The
# state folder outlives a killed run, so that the next one can clean up.
LOCK = "/run/lock/solvane-daemon-test.lock"
STATE = "/var/tmp/solvane-daemon-test"
INSTALLED_MARK = os.path.join(STATE, "package-installed")
USER = "solvane-saver-test"
USER_MARK = "solvane daemon test user"
LOCK_TIMEOUT = 240
APT_TIMEOUT = 180
WAIT = 30
# How long a deactivation may take before the daemon is told again.
DEACTIVATE_AGAIN = 5
LIT_LEVEL = 24
LIT_SHARE = 0.05


def log(message):
    print(f"[daemon test] {message}", flush=True)


def run(argv, timeout=WAIT, **kwargs):
    done = subprocess.run(argv, capture_output=True, text=True, timeout=timeout, **kwargs)
    if done.returncode:
        raise HarnessError(f"{' '.join(argv)} failed ({done.returncode}): {done.stdout}{done.stderr}")
    return done.stdout


@contextlib.contextmanager
def machine_lock():
    with open(LOCK, "w") as lock:
        def taken():
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                return True
            except BlockingIOError:
                return False
        poll(taken, LOCK_TIMEOUT, interval=0.5, what="another run of this test to finish")
        os.makedirs(STATE, exist_ok=True)
        try:
            yield
        finally:
            # Empty unless a clean-up failed: nothing of this test stays behind.
            with contextlib.suppress(OSError):
                os.rmdir(os.path.join(STATE, "processes"))
                os.rmdir(STATE)


def package_status():
    done = subprocess.run(["dpkg-query", "-W", "-f=${Status}", PACKAGE], capture_output=True, text=True)
    return done.stdout.strip() if done.returncode == 0 else ""


def apt(*arguments):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    return run(["apt-get", "-y", "-o", "DPkg::Lock::Timeout=120", *arguments], timeout=APT_TIMEOUT, env=env)


def purge():
    apt("purge", PACKAGE)
    os.remove(INSTALLED_MARK)


@contextlib.contextmanager
def installed(deb):
    """The package installed by apt for the test's length; purged after."""
    if os.path.exists(INSTALLED_MARK):
        log("purging the package a killed run left installed")
        purge()
    if package_status():
        raise HarnessError(f"{PACKAGE} is already installed ({package_status()}); this test installs its own "
                           f"package and would replace it: remove it first")
    open(INSTALLED_MARK, "w").close()
    try:
        apt("install", os.path.abspath(deb))
        yield
    finally:
        if os.path.exists(INSTALLED_MARK):
            purge()


def user_processes(uid):
    pids = []
    for name in os.listdir("/proc"):
        with contextlib.suppress(OSError):
            if name.isdigit() and os.stat(f"/proc/{name}").st_uid == uid:
                pids.append(int(name))
    return pids


def stop_user_processes(uid):
    """Stops, by PID, what the daemon started and left behind."""
    for pid in user_processes(uid):
        with contextlib.suppress(HarnessError):
            stop({"pid": pid, "start": start_time(pid), "argv": [f"process {pid} of the test user"]})


def delete_user():
    entry = pwd.getpwnam(USER)
    stop_user_processes(entry.pw_uid)
    run(["userdel", USER])
    shutil.rmtree(entry.pw_dir, ignore_errors=True)


@contextlib.contextmanager
def test_user():
    """An unprivileged user of this test's own (the daemon runs no program as
    root), with an empty home; deleted after."""
    with contextlib.suppress(KeyError):
        if pwd.getpwnam(USER).pw_gecos != USER_MARK:
            raise HarnessError(f"a user {USER} exists that this test did not make; not touching it")
        log("deleting the user a killed run left")
        delete_user()
    home = os.path.join(STATE, "home")
    shutil.rmtree(home, ignore_errors=True)
    run(["useradd", "--system", "--user-group", "--home-dir", home, "--no-create-home",
         "--shell", "/usr/sbin/nologin", "--comment", USER_MARK, USER])
    try:
        entry = pwd.getpwnam(USER)
        os.makedirs(home)
        os.chown(home, entry.pw_uid, entry.pw_gid)
        yield entry
    finally:
        delete_user()


def saver_command(config_path):
    """The command the settings program builds from our description, with
    the frame rate switched on; checks the description on the way."""
    root = ElementTree.parse(config_path).getroot()
    assert root.tag == "screensaver", root.tag
    assert root.attrib == {"name": "solvane", "_label": "Solvane", "gl": "yes"}, root.attrib
    commands = root.findall("command")
    assert [c.attrib for c in commands] == [{"arg": "-root"}], [c.attrib for c in commands]
    switches = root.findall("boolean")
    assert [b.attrib for b in switches] == [{"id": "showfps", "_label": "Show frame rate", "arg-set": "-fps"}]
    # The daemon's usual frame-rate slider: microseconds between frames,
    # none by default (the display's pace).
    sliders = [n.attrib for n in root.findall("number")]
    assert sliders == [{"id": "delay", "type": "slider", "arg": "-delay %", "_label": "Frame rate",
                        "_low-label": "Low", "_high-label": "High", "low": "0", "high": "100000", "default": "0",
                        "convert": "invert"}], sliders
    description = root.findtext("_description", "").split()
    assert len(description) >= 10, "the description says too little"
    return f"{root.attrib['name']} {commands[0].attrib['arg']} {switches[0].attrib['arg-set']}"


def check_package_files():
    for path in PACKAGE_FILES:
        assert os.path.isfile(path), f"{path} is not installed"
    assert os.access(HACK, os.X_OK), f"{HACK} is not executable"
    assert os.path.realpath("/usr/bin/solvane") == HACK, "/usr/bin/solvane does not lead to the installed program"
    # It starts with the libraries the package depends on.
    assert run(["/usr/bin/solvane", "--help"]).startswith("usage: solvane"), "the installed program does not run"
    listed = set(run(["dpkg", "-L", PACKAGE]).split())
    assert set(PACKAGE_FILES) <= listed, f"dpkg does not list {set(PACKAGE_FILES) - listed}"


class Daemon:
    """xscreensaver, as the test user, with a settings file that selects only
    our program."""

    def __init__(self, display, user, command, logs, tracker):
        self.user = user
        self.tracker = tracker
        self.env = {"DISPLAY": display.name, "HOME": user.pw_dir, "USER": user.pw_name,
                    "LOGNAME": user.pw_name, "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}
        settings = os.path.join(user.pw_dir, ".xscreensaver")
        with open(settings, "w") as f:
            f.write(f"mode:\tone\nselected:\t0\nprograms:\t{command}\n"
                    "lock:\tFalse\nfade:\tFalse\nunfade:\tFalse\nsplash:\tFalse\n"
                    "timeout:\t2:00:00\ndpmsEnabled:\tFalse\n")
        os.chown(settings, user.pw_uid, user.pw_gid)
        self.proc, self.record = spawn(["xscreensaver", "-no-splash"], os.path.join(logs, "xscreensaver"),
                                       env=self.env, cwd=user.pw_dir, run_as=(user.pw_uid, user.pw_gid))
        tracker.add(self.record)
        poll(lambda: self.command("-version", check=False).returncode == 0, WAIT,
             what="the daemon to answer xscreensaver-command")

    def command(self, action, check=True):
        done = subprocess.run(["xscreensaver-command", action], env=self.env, capture_output=True, text=True,
                              timeout=WAIT, user=self.user.pw_uid, group=self.user.pw_gid, extra_groups=[])
        if check and done.returncode:
            raise HarnessError(f"xscreensaver-command {action} failed: {done.stdout}{done.stderr}")
        return done

    def alive(self):
        return self.proc.poll() is None

    def hacks(self):
        """PIDs of our installed program that the daemon runs."""
        found = []
        for pid in user_processes(self.user.pw_uid):
            with contextlib.suppress(OSError):
                if os.readlink(f"/proc/{pid}/exe") == HACK:
                    found.append(pid)
        return found

    def stderr(self):
        with open(self.record["stderr"], errors="replace") as f:
            return f.read()

    def stop(self):
        stop(self.record, proc=self.proc)
        self.tracker.remove(self.record)


def lit_share(image, rect):
    left, top, right, bottom = rect
    lit = total = 0
    for y in range(top, bottom, 5):
        for x in range(left, right, 5):
            total += 1
            lit += max(image.pixel(x, y)) > LIT_LEVEL
    return lit / total


def monitor_pixels(image, rect):
    left, top, right, bottom = rect
    row = image.width * 3
    return b"".join(image.rgb[y * row + left * 3:y * row + right * 3] for y in range(top, bottom))


def expect_animation_on_every_monitor(display, out):
    """Lit on each monitor, and then moving there; returns the screenshot."""
    shots = iter(range(1000))

    def screen():
        path = os.path.join(out, f"screen-{next(shots):03d}.png")
        run(["import", "-display", display.name, "-window", "root", "-depth", "8", path])
        return path, load_image(path)

    def all_lit():
        path, image = screen()
        return (path, image) if all(lit_share(image, m) > LIT_SHARE for m in display.monitors) else None

    path, first = poll(all_lit, WAIT, interval=0.2, what=f"the animation lit on all of {display.monitors}")

    def all_moved():
        _, image = screen()
        return all(monitor_pixels(image, m) != monitor_pixels(first, m) for m in display.monitors)

    poll(all_moved, WAIT, interval=0.2, what="the animation to move on every monitor")
    shown = os.path.join(out, "activated.png")
    shutil.copyfile(path, shown)
    return shown


def deactivate_until_gone(daemon, hacks):
    """Tells the daemon of user activity until our program has ended. On a
    busy machine the daemon has been seen to let one such command pass
    while it was still blanking; the program itself must end once told."""
    sent = [0.0]

    def gone():
        if time.monotonic() - sent[0] >= DEACTIVATE_AGAIN:
            daemon.command("-deactivate")
            sent[0] = time.monotonic()
        return not set(daemon.hacks()) & set(hacks)

    poll(gone, WAIT, interval=0.2, what="deactivation to end our program")


def check_daemon_shows_and_ends_it(display, user, command, out, tracker):
    daemon = Daemon(display, user, command, out, tracker)
    try:
        assert not daemon.hacks(), "our program runs before activation"
        daemon.command("-activate")
        hacks = poll(lambda: (lambda found: found if len(found) == len(display.monitors) else None)(daemon.hacks()),
                     WAIT, what=f"one copy of {HACK} for each of {len(display.monitors)} monitors")
        shown = expect_animation_on_every_monitor(display, out)
        log(f"screenshot of the animation under the daemon: {shown}")
        assert set(daemon.hacks()) == set(hacks), "the program the daemon started did not stay"
        poll(lambda: "fps" in daemon.stderr(), WAIT, what="the frame rate the showfps switch asks for")
        deactivate_until_gone(daemon, hacks)
        assert daemon.alive(), f"the daemon ended: {daemon.stderr()}"
    finally:
        daemon.stop()


def check_removal():
    purge()
    assert not package_status().startswith("install"), package_status()
    left = [path for path in PACKAGE_FILES if os.path.lexists(path)]
    assert not left, f"left after removal: {left}"
    assert not os.path.exists("/usr/share/doc/solvane"), "its documentation folder stayed"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--program", required=True, help="the built program the package was made from")
    parser.add_argument("--out", required=True)
    parser.add_argument("--display", default="xvfb", choices=sorted(displays.KINDS))
    args = parser.parse_args()
    if os.geteuid() != 0:
        raise HarnessError("this test installs a package and adds a user: run it as root")
    for tool in ("xscreensaver", "xscreensaver-command", "apt-get", "useradd", "import"):
        if not shutil.which(tool):
            raise HarnessError(f"{tool} is missing: run tools/bootstrap.sh")
    if not os.path.exists(args.deb) or os.path.getmtime(args.deb) < os.path.getmtime(args.program):
        raise HarnessError(f"{args.deb} is missing or older than {args.program}: build the 'package' target")
    # A stop from ctest still runs every clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    with machine_lock():
        tracker = Tracker(os.path.join(STATE, "processes"))
        tracker.stop_all(log=log, orphans_only=True)
        with installed(args.deb):
            check_package_files()
            command = saver_command(CONFIG)
            log(f"installed; the settings program would run: {command}")
            with contextlib.ExitStack() as stack:
                user = stack.enter_context(test_user())
                display = displays.KINDS[args.display](os.path.join(args.out, "display"), tracker)
                stack.callback(display.stop)
                check_daemon_shows_and_ends_it(display, user, command, args.out, tracker)
            log("the daemon showed our animation and ended it")
            check_removal()
    log("removed cleanly")
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
