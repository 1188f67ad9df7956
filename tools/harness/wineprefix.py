"""A Wine prefix of the harness's own and its wineserver: started by us,
filled once, and ended with every process in it, by PID."""

import os
import signal
import subprocess

from procs import HarnessError, is_running, log, poll, spawn, start_time, stop

# No Mono/Gecko installer prompts, no menu entries written to the developer's home.
DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d"
PREFIX_MARK = ".solvane-harness"
WINEBOOT_TIMEOUT = 300
START_TIMEOUT = 30


def wineserver_binary():
    # The Debian wrapper execs this one, so its PID would be the same; calling
    # it directly keeps the argument list exactly ours.
    direct = "/usr/lib/wine/wineserver64"
    return direct if os.path.exists(direct) else "wineserver"


def start_wineserver(env, logs, record):
    """Our own persistent server for env's prefix, so that wine never starts
    one we do not know; record(proc, record) learns of it before the wait."""
    proc, server = spawn([wineserver_binary(), "-f", "-p"], os.path.join(logs, "wineserver"), env=env)
    record(proc, server)
    poll(lambda: wineserver_listening(server), START_TIMEOUT, what="wineserver to listen")
    return proc, server


def boot_prefix(env, logs, server, timeout=WINEBOOT_TIMEOUT):
    """Fills env's new prefix (wineboot -i) and marks it as the harness's."""
    boot, boot_record = spawn(["wine", "wineboot", "-i"], os.path.join(logs, "wineboot"), env=env)
    try:
        rc = boot.wait(timeout)
    except subprocess.TimeoutExpired:
        stop(boot_record, proc=boot)
        raise HarnessError(f"wineboot -i took more than {timeout:g} s") from None
    if rc != 0:
        raise HarnessError(f"wineboot -i failed ({rc}); see {boot_record['stderr']}")
    if not is_running(server):
        raise HarnessError(f"our wineserver exited during wineboot; see {server['stderr']}")
    with open(os.path.join(env["WINEPREFIX"], PREFIX_MARK), "w") as f:
        f.write("created by tools/harness/winenv.py\n")


def wineserver_listening(record):
    """True once the server process holds a listening Unix socket."""
    pid = record["pid"]
    if not is_running(record):
        raise HarnessError(f"wineserver exited; see {record['stderr']}")
    inodes = set()
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            target = os.readlink(f"/proc/{pid}/fd/{fd}")
            if target.startswith("socket:["):
                inodes.add(target[8:-1])
    except OSError:
        return False
    with open("/proc/net/unix") as f:
        for line in f.readlines()[1:]:
            parts = line.split()
            if len(parts) >= 7 and parts[6] in inodes and int(parts[3], 16) & 0x10000:
                return True
    return False


def kill_prefix(env, logs):
    """Has the wineserver of env's prefix end every process in it and itself."""
    with open(os.path.join(logs, "wineserver-k.out"), "wb") as out:
        try:
            subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL, stdout=out,
                           stderr=subprocess.STDOUT, timeout=20)
        except subprocess.TimeoutExpired:
            log("wineserver -k did not return within 20 s")


def stop_prefix_processes(prefix, pids=None):
    """Kills, by PID, the prefix's Wine processes, or those of `pids`."""
    for pid in prefix_processes(prefix) if pids is None else pids:
        log(f"stopping process {pid} left in our prefix")
        stop({"pid": pid, "start": start_time(pid), "argv": [str(pid)]}, first_signal=signal.SIGKILL)


def prefix_programs(prefix, wanted):
    """PIDs of the prefix's Wine processes whose command line (its arguments,
    as bytes) wanted(arguments) accepts."""
    found = []
    for pid in prefix_processes(prefix):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                arguments = f.read().split(b"\0")
        except OSError:
            continue
        if wanted(arguments):
            found.append(pid)
    return found


def prefix_processes(prefix):
    """PIDs of live Wine processes (their executable is Wine's loader or
    server) whose WINEPREFIX is our prefix."""
    wanted = b"WINEPREFIX=" + os.fsencode(prefix)
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            if not os.path.basename(os.readlink(f"/proc/{entry}/exe")).startswith("wine"):
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if wanted in f.read().split(b"\0"):
                    record = {"pid": int(entry), "start": start_time(int(entry))}
                    if is_running(record):
                        found.append(int(entry))
        except OSError:
            continue
    return found
