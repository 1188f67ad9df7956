"""The release packages as the release tests see them: their names, the
version block and machine of a PE file read straight from its bytes, and
the installer and registry as a Windows user meets them under Wine."""

import os
import re
import signal
import struct

import shell_link
from common import HarnessError, expect, programs_running, scratch_dir
from contract import NAMES
import winenv
from procs import start_time, stop
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


def version_tuple(version):
    parts = [int(p) for p in version.split(".")]
    return tuple(parts + [0] * (4 - len(parts)))


# ---------------------------------------------------------------- PE files

class PeFile:
    """The machine and the version resource of a Windows program."""

    def __init__(self, data):
        self.data = data
        expect(data[:2] == b"MZ", "not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        expect(data[pe:pe + 4] == b"PE\0\0", "no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pe32_plus = magic == 0x20B
        directories = optional + (112 if self.pe32_plus else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
                         for i in range(sections)]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise AssertionError(f"RVA {rva:#x} lies in no section")

    def resource(self, kind):
        """The bytes of the first resource of a numeric type, or None."""
        if not self.resource_rva:
            return None
        base = self.offset(self.resource_rva)
        entry = self._entry(base, base, kind)
        while entry is not None and entry & 0x80000000:  # name and language levels
            entry = self._entry(base, base + (entry & 0x7FFFFFFF), None)
        if entry is None:
            return None
        rva, size = struct.unpack_from("<II", self.data, base + entry)
        start = self.offset(rva)
        return self.data[start:start + size]

    def _entry(self, base, directory, wanted):
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return target
        return None

    def version(self):
        """{'file': (a, b, c, d), 'product': (...), 'strings': {key: text}}."""
        block = self.resource(16)  # RT_VERSION
        expect(block is not None, "no version resource")
        key, value, children = _version_block(block, 0)[:3]
        expect(key == "VS_VERSION_INFO", f"version resource starts with {key!r}")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
        expect(signature == 0xFEEF04BD, "no VS_FIXEDFILEINFO")
        strings = {}
        for child_key, _, tables in children:
            if child_key == "StringFileInfo":
                for _, _, entries in tables:
                    strings.update({k: v for k, v, _ in entries})
        split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
        return {"file": split(file_ms, file_ls), "product": split(product_ms, product_ls), "strings": strings}


def _align(offset):
    return (offset + 3) & ~3


def _version_block(data, start):
    """(key, value, children, end) of one block: text values come back as
    str, binary ones as bytes; children are (key, value, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, start)
    end = start + length
    key_end = start + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[start + 6:key_end].decode("utf-16-le")
    value_start = _align(key_end + 2)
    if kind == 1:
        # Compilers disagree on whether the length counts the NUL; read to it.
        text_end = value_start
        while text_end + 1 < end and data[text_end:text_end + 2] != b"\0\0":
            text_end += 2
        value = data[value_start:text_end].decode("utf-16-le")
        child = _align(value_start + value_length * 2) if value_length else value_start
    else:
        value = data[value_start:value_start + value_length]
        child = _align(value_start + value_length)
    children = []
    while child + 6 <= end:
        if struct.unpack_from("<H", data, child)[0] == 0:
            break
        child_key, child_value, grandchildren, child_end = _version_block(data, child)
        children.append((child_key, child_value, grandchildren))
        child = _align(child_end)
    return key, value, children, end


def expect_version(data, what, version, machine):
    pe = PeFile(data)
    expect(pe.machine == machine, f"{what} is for machine {pe.machine:#x}, expected {machine:#x}")
    info = pe.version()
    expect(info["file"] == version_tuple(version) and info["product"] == version_tuple(version),
           f"{what} has version {info['file']} / {info['product']}, the project is {version}")
    for key in ("FileVersion", "ProductVersion"):
        expect(info["strings"].get(key) == version,
               f"{what}: {key} is {info['strings'].get(key)!r}, the project is {version}")
    return info


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
SETTINGS = b"[Section]\r\nBGM\x8b\xe6\x95\xaa= 0\r\n"

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
    found = []
    for pid in winenv.prefix_processes(env.prefix):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if b"_?=" in f.read():
                    found.append(pid)
        except OSError:
            continue
    return found


def end_uninstaller_copies(env):
    """Ends, by PID, uninstaller copies that a check which failed left
    waiting on the display; they would hold its prefix."""
    for pid in uninstaller_copies(env):
        print(f"     ending an uninstaller copy an earlier check left (pid {pid})", flush=True)
        stop({"pid": pid, "start": start_time(pid), "argv": [str(pid)]}, first_signal=signal.SIGKILL)


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


# ---------------------------------------------------------------- the wizard

WIZARD_TIMEOUT = 30
# The English pages' own texts.
COMPONENTS_TEXT = "Choose Components"
FINISH_TEXT = "Completing Solvane"
UNINSTALL_CONFIRM_TEXT = "Remove Solvane"


class Wizard:
    """The setup program's wizard, driven with keys as a user drives it and
    read through the texts of the foreground window."""

    def __init__(self, env, setup, folder, locale, options=(), winedebug=None):
        self.env = env
        self.proc = env.start(setup, [*options, *folder_options(folder)], extra_env=locale, winedebug=winedebug)
        self.hwnd = None

    def running(self):
        return self.proc.alive()

    def wait(self, what, shown):
        """(hwnd, texts) of the foreground window once shown(hwnd, texts)."""
        def foreground():
            expect(self.running(), f"the wizard ended while waiting for {what}")
            found = self.env.foreground()
            if not found:
                return None
            rc, out = self.env.probe("texts", found[0])
            return (found[0], out) if rc == 0 and shown(found[0], out) else None
        return poll(foreground, WIZARD_TIMEOUT, what=what)

    def page(self, what, shown):
        self.hwnd, texts = self.wait(f"the {what} page", lambda hwnd, out: self.hwnd in (None, hwnd) and shown(out))
        return texts

    def directory_page(self, version, folder):
        """Through the welcome and licence pages to the directory page, which
        shows folder."""
        self.page("welcome", lambda out: out.startswith(f"#32770\tSolvane {version}") and "Edit\t" not in out)
        self.env.key("Return")
        self.page("licence", lambda out: "RichEdit20W\t" in out)
        self.env.key("Return")
        self.page("directory", lambda out: f"Edit\t{folder}\n" in out)

    def refused(self, folder):
        """Next on the directory page, which refuses the folder: returns the
        texts of what it said, once the page is back."""
        self.env.key("Return")
        _, told = self.wait("the folder to be refused", lambda hwnd, out: hwnd != self.hwnd)
        self.env.key("Return")
        self.page("directory again", lambda out: f"Edit\t{folder}\n" in out)
        return told

    def install(self):
        """Next on the directory page, Install on the components page, and
        Finish once the files are in."""
        self.env.key("Return")
        self.page("components", lambda out: COMPONENTS_TEXT in out)
        self.env.key("Return")
        self.page("finish", lambda out: FINISH_TEXT in out)
        self.env.key("Return")
        rc = self.proc.wait(WIZARD_TIMEOUT)
        expect(rc == 0, f"the setup program ended with {rc}")


class UninstallWizard(Wizard):
    """The uninstaller's wizard, started as the program list starts it; it
    runs in the uninstaller's copy."""

    def __init__(self, env):
        self.env = env
        self.hwnd = None
        end_uninstaller_copies(env)
        command = reg_string(env, UNINSTALL_KEY, "UninstallString")
        expect(command is not None and command.startswith('"') and command.endswith('"'),
               f"the uninstall command is not a quoted path: {command!r}")
        stub = env.start(command[1:-1], extra_env=UTF8_ARGUMENTS)
        expect(stub.wait(UNINSTALL_TIMEOUT) == 0, "the uninstaller did not start its copy")

    def running(self):
        return bool(uninstaller_copies(self.env))

    def to_uninstall(self):
        """Through the confirmation and components pages: Uninstall pressed."""
        self.page("confirmation", lambda out: UNINSTALL_CONFIRM_TEXT in out)
        self.env.key("Return")
        self.page("components", lambda out: COMPONENTS_TEXT in out)
        self.env.key("Return")

    def ended(self):
        poll(lambda: not self.running(), UNINSTALL_TIMEOUT, what="the uninstaller's copy to end")
