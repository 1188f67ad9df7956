#!/usr/bin/env python3
"""Where Solvane's programs let the system look for run-time code, and what
the front end hands the renderer it starts: both programs restrict libraries
loaded by name to the system folder before anything else (so that no file
planted in their folder, the current folder or on PATH is ever loaded), and
the front end lets the renderer take the foreground from it. Judged by the
calls traced in each process and by the loader's own search paths."""

import re

import common
from common import expect, relay_calls, relay_only, scratch_dir
from frontend_common import Installation, make_tone, wait_saver_run
from renderer_common import SAVER_CLASS, park_cursor

LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
SYSTEM_FOLDER = r"C:\windows\system32"
TRACED = ["kernel32.SetDefaultDllDirectories", "kernelbase.SetDefaultDllDirectories",
          "user32.AllowSetForegroundWindow"]
# "pid:tid:trace:module:load_dll looking for L"name" in L"path"": a load by name and where it searched.
LOAD_BY_NAME = re.compile(r'([0-9a-f]+):[0-9a-f]+:trace:module:load_dll looking for L"([^"]*)" in L"([^"]*)"')
RESTRICTED = re.compile(r"([0-9a-f]+):[0-9a-f]+:Call \w+\.SetDefaultDllDirectories\(")


def unescaped(text):
    return text.replace("\\\\", "\\")


def only_the_system_folder(path):
    """A search path made of the system folder alone (a library's own
    dependencies are also looked for in its folder, here the same)."""
    return all(folder.rstrip("\\").lower() == SYSTEM_FOLDER.lower() for folder in path.split(";"))


class TracedRun:
    """A saver run with a WAV (whose sound drivers the front end loads by name
    once it runs), traced, ended by a key."""

    def __init__(self, env, args, name):
        install = Installation(env, args, name)
        install.configure(2, 0, make_tone(scratch_dir(env, name), "tone.wav", 1.0))
        park_cursor(env)
        with relay_only(env, TRACED):
            self.frontend = install.start("/s", winedebug="-all,+pid,+relay,+module")
            self.renderer, self.saver_run = wait_saver_run(env, cls=SAVER_CLASS)
        self.foreground = env.foreground()
        env.key("space")
        expect(self.frontend.wait(10) == 0, "the saver run did not end")
        self.trace = self.frontend.stderr().splitlines()

    def loads_after_restriction(self, pid):
        """The searches of the loads by name that process `pid` made after it
        restricted the search, or None when it never did."""
        restricted = False
        searched = []
        for line in self.trace:
            match = RESTRICTED.match(line)
            if match and int(match.group(1), 16) == pid:
                restricted = True
            match = LOAD_BY_NAME.match(line)
            if restricted and match and int(match.group(1), 16) == pid:
                searched.append((unescaped(match.group(2)), unescaped(match.group(3))))
        return searched if restricted else None


def check_both_programs_look_for_libraries_in_the_system_folder_only(env, args):
    run = TracedRun(env, args, "search-paths")
    for program, pid in (("the front end", run.saver_run.pid), ("the renderer", run.renderer.pid)):
        calls = [arguments for caller, arguments in relay_calls(run.frontend, "kernel32.SetDefaultDllDirectories")
                 + relay_calls(run.frontend, "kernelbase.SetDefaultDllDirectories") if caller == pid]
        expect([int(arguments, 16) for arguments in calls] == [LOAD_LIBRARY_SEARCH_SYSTEM32],
               f"{program} called SetDefaultDllDirectories with {calls}, not once with LOAD_LIBRARY_SEARCH_SYSTEM32")
        searched = run.loads_after_restriction(pid)
        print(f"     {program} loaded by name afterwards: {', '.join(sorted({name for name, _ in searched}))}", flush=True)
        expect(searched, f"{program} loaded nothing by name after restricting the search: nothing shows its effect")
        wider = [(name, path) for name, path in searched if not only_the_system_folder(path)]
        expect(not wider, f"{program} looked beyond the system folder: {wider}")


def check_the_renderer_may_take_the_foreground(env, args):
    run = TracedRun(env, args, "foreground-right")
    allowed = [(caller, int(arguments, 16)) for caller, arguments
               in relay_calls(run.frontend, "user32.AllowSetForegroundWindow")]
    expect(allowed == [(run.saver_run.pid, run.renderer.pid)],
           f"AllowSetForegroundWindow calls (caller, process id): {allowed}; the front end is "
           f"{run.saver_run.pid}, the renderer {run.renderer.pid}")
    expect(run.foreground and run.foreground[0] == run.renderer.hwnd,
           f"the foreground window during the run was {run.foreground}, not the renderer's")


if __name__ == "__main__":
    common.run_checks([
        check_both_programs_look_for_libraries_in_the_system_folder_only,
        check_the_renderer_may_take_the_foreground,
    ], __doc__)
