"""The release packages as the release tests see them: their names, and the
installer and registry as a Windows user meets them under Wine."""

import os
import re

import shell_link
from common import HarnessError, expect, programs_running, scratch_dir
from contract import KEYS, NAMES
import winenv
from winenv import poll

ARCHES = {"win64": 0x8664, "win32": 0x014C}  # IMAGE_FILE_MACHINE_AMD64, _I386
PROGRAMS = (NAMES.frontendFile, NAMES.rendererFile)
DOCUMENTS = ("ReadMe.txt", "LICENSE.txt")
INSTALLED = sorted(PROGRAMS + DOCUMENTS + ("Uninstall.exe",))
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_VALUE = "SCRNSAVE.EXE"
ACTIVE_VALUE = "ScreenSaveActive"
SHELL_FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
USER_SHELL_FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
LOCAL_APPDATA = "Local AppData"
MENU_FOLDER = "Solvane"
MENU_SAVER = "Solvane.lnk"
MENU_SETTINGS = "Solvane settings.lnk"
RUNDLL32 = r"C:\windows\system32\rundll32.exe"
# Wine reads a command line's bytes in the locale's character set.
UTF8_ARGUMENTS = {"LC_ALL": "C.UTF-8"}
INSTALL_TIMEOUT = 120
UNINSTALL_TIMEOUT = 60
PROGRAMS_END_TIMEOUT = 10


def add_release_arguments(parser):
    parser.add_argument("--dist", required=True, help="folder of the release packages")
    parser.add_argument("--version", required=True, help="the project version the packages carry")


def package_path(args, arch, suffix):
    path = os.path.join(args.dist, f"Solvane-{args.version}-{arch}{suffix}")
    if not os.path.isfile(path):
        raise HarnessError(f"{path} is missing: build the 'dist' target first")
    return path


# ---------------------------------------------------------------- registry

def reg_query(env, key, name):
    """(type, data) of a registry value read with Wine's reg.exe, or None."""
    rc, out = env.run("reg", ["query", key, "/v", name])
    if rc != 0:
        return None
    for line in out.splitlines():
        found = re.match(r"\s+(.*?)\s{4}(REG_\w+)\s{4}(.*)$", line) or re.match(r"\s+(.*?)\s{4}(REG_\w+)$", line)
        if found and found.group(1).lower() == name.lower():
            return found.group(2), (found.group(3) if found.lastindex == 3 else "")
    raise HarnessError(f"reg query {key} /v {name} printed no value:\n{out}")


def reg_text(env, key, name):
    value = reg_query(env, key, name)
    return value[1] if value else None


def _reg_unescape(text):
    return re.sub(r"\\(.)", r"\1", text)


EXPORT_ATTEMPTS = 3


def reg_string(env, key, name):
    """A string value exactly as stored, or None: reg query prints values in
    the ANSI code page, which may not hold them; reg export writes Unicode."""
    path = os.path.join(scratch_dir(env, "registry"), "export.reg")
    for _ in range(EXPORT_ATTEMPTS):
        rc, out = env.run("reg", ["export", key, env.winpath(path), "/y"])
        if rc == 0:
            break
        # An export of a key that is there can fail on a busy machine; a
        # missing key is no failure.
        if env.run("reg", ["query", key])[0] != 0:
            return None
    else:
        raise HarnessError(f"reg export {key} failed {EXPORT_ATTEMPTS} times: {out}")
    with open(path, encoding="utf-16") as f:
        for line in f.read().splitlines():
            found = re.fullmatch(r'"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"', line)
            if found and _reg_unescape(found.group(1)).lower() == name.lower():
                return _reg_unescape(found.group(2))
    return None


def reg_import(env, key, values):
    """Sets string values through a .reg file, which carries any Unicode
    text whatever the locale of the command line."""
    long_key = key.replace("HKCU\\", "HKEY_CURRENT_USER\\", 1)
    quote = lambda text: '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'  # noqa: E731
    lines = ["Windows Registry Editor Version 5.00", "", f"[{long_key}]"]
    lines += [f"{quote(name)}={quote(data)}" for name, data in values.items()]
    path = os.path.join(scratch_dir(env, "registry"), "values.reg")
    with open(path, "w", encoding="utf-16", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    rc, out = env.run("reg", ["import", env.winpath(path)])
    if rc != 0:
        raise HarnessError(f"reg import of {values} into {key} failed: {out.strip()}")


class KeptValues:
    """Keeps registry values and puts them back afterwards, so the shared
    prefix leaves the next test as it found it."""

    def __init__(self, env, values):
        self.env = env
        self.saved = {(key, name): reg_query(env, key, name) for key, name in values}

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for (key, name), value in self.saved.items():
            if value is None:
                self.env.reg_delete(key, name)
            else:
                self.env.reg_add(key, name, value[1], value[0])


def DesktopSettings(env, *more):
    """The per-user screen-saver values, and any (key, name) pairs more."""
    return KeptValues(env, [(DESKTOP_KEY, SAVER_VALUE), (DESKTOP_KEY, ACTIVE_VALUE), *more])


# ---------------------------------------------------------------- installing

TEST_FOLDER = "Saver Test"  # with a space, so its short and long forms differ
OTHER_SAVER = r"C:\windows\system32\Other Saver.scr"
SETTINGS = b"[" + KEYS.settingsSection + b"]\r\n" + KEYS.musicKind + b"= 0\r\n"

# The installer's and uninstaller's own exit codes beside NSIS's.
EXIT_FOLDER_NOT_OWN = 3
EXIT_PROGRAMS_KEPT = 4
KEEP_SAVER = "/KEEPSAVER"


def folder_options(folder):
    """/D=FOLDER as the command line gives it: NSIS takes everything after
    /D= as the folder, spaces and all, but no quotes, and Wine quotes an
    argument that holds a space, so it goes in pieces."""
    return f"/D={folder}".split(" ") if folder else []


def run_setup(env, setup, folder=None, options=(), extra_env=None):
    """The silent installer's exit code."""
    rc, _ = env.run(setup, ["/S", *options, *folder_options(folder)], timeout=INSTALL_TIMEOUT, extra_env=extra_env)
    return rc


class Installed:
    """One silent installation of a setup program, into a folder given with
    /D or into its default folder, under the code page extra_env gives."""

    def __init__(self, env, setup, folder=None, extra_env=None, options=()):
        rc = run_setup(env, setup, folder, options, extra_env)
        expect(rc == 0, f"the silent installer ended with {rc}")
        self._read_entry(env, extra_env)

    @classmethod
    def listed(cls, env, extra_env=None):
        """The installation Solvane's program entry names, however it was made."""
        installed = cls.__new__(cls)
        installed._read_entry(env, extra_env)
        return installed

    def _read_entry(self, env, extra_env):
        self.env = env
        self.extra_env = extra_env
        self.folder = reg_string(env, UNINSTALL_KEY, "InstallLocation")  # Windows path, as the installer took it
        expect(self.folder is not None, "the installer wrote no InstallLocation")
        self.path = windows_file(env, self.folder)
        self.scr = self.folder + "\\" + NAMES.frontendFile

    def file(self, name):
        return os.path.join(self.path, name)

    def files(self):
        return sorted(os.listdir(self.path)) if os.path.isdir(self.path) else None

    def start(self, *arguments, winedebug=None, extra_env=None):
        """The installed front end, started by the path the installer chose."""
        return self.env.start(self.scr, list(arguments), winedebug=winedebug, extra_env=extra_env or self.extra_env)

    def uninstall(self, *options, removed=True):
        return uninstall(self.env, *options, extra_env=self.extra_env, removed=removed)


def setup_program(args):
    return package_path(args, "win64", "-setup.exe")


def drive_c(env, *parts):
    return os.path.join(env.prefix, "drive_c", *parts)


def install(env, args, name, **options):
    """The 64-bit installer run silently into a test folder of its own."""
    return Installed(env, setup_program(args), rf"C:\{TEST_FOLDER}\{name}-{os.getpid()}\Solvane", **options)


def uninstaller_copies(env):
    """Wine processes of the prefix running an uninstaller's copy, which NSIS
    starts with _?=FOLDER."""
    return winenv.prefix_programs(env.prefix, lambda arguments: any(b"_?=" in argument for argument in arguments))


def end_uninstaller_copies(env):
    """Ends, by PID, uninstaller copies that a check which failed left
    waiting on the display; they would hold its prefix."""
    winenv.stop_prefix_processes(env.prefix, uninstaller_copies(env))


def uninstall(env, *options, extra_env=None, removed=True):
    """Runs the uninstaller as the program list's quiet command does. It
    copies itself away and returns at once; the copy ending says it has
    finished. With removed, Solvane's entry must then be gone, else kept.
    Returns what the uninstaller printed."""
    end_uninstaller_copies(env)
    location = reg_string(env, UNINSTALL_KEY, "InstallLocation")
    expect(location is not None, "no InstallLocation to uninstall from")
    folder = windows_file(env, location)
    command = reg_string(env, UNINSTALL_KEY, "QuietUninstallString")
    expect(command is not None, "no QuietUninstallString to uninstall with")
    found = re.fullmatch(r'"([^"]+)"\s*(.*)', command)
    expect(found is not None, f"the quiet uninstall command is not a quoted path: {command!r}")
    proc = env.start(found.group(1), [*found.group(2).split(), *options], extra_env=extra_env or UTF8_ARGUMENTS)
    try:
        rc = proc.wait(UNINSTALL_TIMEOUT)
    except HarnessError:
        proc.kill()
        raise
    expect(rc == 0, f"the uninstaller ended with {rc}: {proc.stderr()[-1500:]!r}")
    poll(lambda: not uninstaller_copies(env), UNINSTALL_TIMEOUT, what="the uninstaller's copy to end")
    listed = reg_query(env, UNINSTALL_KEY, "DisplayName") is not None
    # Once the entry is gone nothing can remove what is left.
    left = sorted(set(os.listdir(folder)) - {"Solvane.ini"}) if os.path.isdir(folder) else []
    expect(listed or not left, f"the entry is gone but {left} are left in {location}")
    expect(listed != removed, f"the uninstaller {'left' if listed else 'removed'} Solvane's entry: "
                              f"{proc.stderr()[-1500:]!r}")
    # A process that has ended lingers a moment on the Linux side.
    poll(lambda: not programs_running(env), PROGRAMS_END_TIMEOUT, what="Solvane's programs to end")
    return proc.stderr()


# ---------------------------------------------------------------- Start menu

def menu_folder(env):
    """The Linux path of the Start-menu folder the installer makes."""
    programs = reg_text(env, SHELL_FOLDERS_KEY, "Programs")
    expect(programs, "Wine names no Start-menu Programs folder")
    return os.path.join(windows_file(env, programs), MENU_FOLDER)


def expect_shortcuts(env, installed, code_page):
    """The Start menu leads back to this installation: "Solvane" runs what
    Windows runs for a saver's Install, "Solvane settings" opens its dialog.
    code_page is the Python codec of the installer's ANSI code page."""
    menu = menu_folder(env)
    found = sorted(os.listdir(menu)) if os.path.isdir(menu) else None
    expect(found == sorted([MENU_SAVER, MENU_SETTINGS]), f"the Start-menu folder {menu} holds {found}")
    saver = shell_link.read(os.path.join(menu, MENU_SAVER), code_page)
    expect(os.path.samefile(windows_file(env, saver.target), windows_file(env, RUNDLL32)),
           f"{MENU_SAVER} starts {saver.target!r}, not the system's rundll32.exe")
    # Unquoted, as Windows' own Install verb passes it, and short: no blank.
    install = f"desk.cpl,InstallScreenSaver {short_form(env, installed.scr)}"
    expect(saver.arguments == install, f"{MENU_SAVER} is given {saver.arguments!r}, not {install!r}")
    settings = shell_link.read(os.path.join(menu, MENU_SETTINGS), code_page)
    expect((settings.target, settings.arguments) == (installed.scr, "/c"),
           f"{MENU_SETTINGS} starts {settings.target!r} with {settings.arguments!r}, not {installed.scr!r} /c")


def expect_no_shortcuts(env):
    menu = menu_folder(env)
    expect(not os.path.exists(menu), f"the Start-menu folder is left with {os.listdir(menu) if os.path.isdir(menu) else menu}")


def short_form(env, path):
    """The short (8.3) form of an existing Windows path, as GetShortPathNameW
    gives it."""
    rc, out = env.run("winepath", ["-s", path], extra_env=UTF8_ARGUMENTS)
    expect(rc == 0 and out.strip(), f"winepath has no short form of {path!r}")
    return out.strip()


def windows_file(env, path):
    """The Linux file a Windows path names, through Wine's own path lookup
    (short 8.3 forms included)."""
    rc, out = env.run("winepath", ["-u", path], extra_env=UTF8_ARGUMENTS)
    expect(rc == 0 and out.strip(), f"winepath cannot resolve {path!r}")
    return out.strip()
