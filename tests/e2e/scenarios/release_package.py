#!/usr/bin/env python3
"""The release packages as downloaded, for both architectures: each zip holds
exactly the programs, the read-me and the licence; every shipped program and
installer carries the project's version and machine, and imports nothing but
DLLs that Windows itself ships; the programs stay lean. Reads files only;
needs no Wine."""

import argparse
import os
import re
import subprocess
import tempfile
import zipfile

from common import ROOT, expect
from checks import finish, run_each
from contract import NAMES
from pe_file import PeFile, expect_version
from release_common import ARCHES, DOCUMENTS, PROGRAMS, add_release_arguments, package_path

OBJDUMP = {"win64": "x86_64-w64-mingw32-objdump", "win32": "i686-w64-mingw32-objdump"}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "oleaut32.dll", "comdlg32.dll", "comctl32.dll", "winmm.dll", "opengl32.dll", "glu32.dll",
               "msimg32.dll", "msvcrt.dll", "version.dll", "shlwapi.dll", "oleacc.dll"}
FOLDER = "Solvane/"
# What a lean 64-bit program may weigh; the 32-bit ones are printed beside them.
SIZE_LIMITS = {NAMES.frontendFile: 512 * 1024, NAMES.rendererFile: 256 * 1024}
MANIFEST_ARCH = {"win64": "amd64", "win32": "x86"}


def zip_members(args, arch):
    with zipfile.ZipFile(package_path(args, arch, ".zip")) as archive:
        expect(archive.testzip() is None, f"the {arch} zip is damaged")
        return {info.filename: archive.read(info) for info in archive.infolist() if not info.is_dir()}


def first_paragraph(text, heading):
    """The first paragraph of a read-me section (its heading underlined with
    dashes), or None."""
    found = re.search(rf"(?m)^{re.escape(heading)}\r\n-+\r\n(.*?)(?:\r\n\r\n|\Z)", text, re.S)
    return found.group(1) if found else None


def check_zips_hold_programs_readme_and_licence(args):
    expected = {FOLDER + name for name in PROGRAMS + DOCUMENTS}
    with open(os.path.join(ROOT, "LICENSE"), "rb") as f:
        licence = f.read()
    for arch in ARCHES:
        members = zip_members(args, arch)
        expect(set(members) == expected, f"the {arch} zip holds {sorted(members)}, expected {sorted(expected)}")
        readme = members[FOLDER + "ReadMe.txt"]
        expect(readme.startswith(b"\xef\xbb\xbf"), "the read-me has no UTF-8 byte-order mark")
        expect(b"\n" not in readme.replace(b"\r\n", b""), "the read-me has lines not ended by CRLF")
        text = readme.decode("utf-8-sig")
        # The way back to Solvane once another saver is chosen, in both languages.
        for needed in (args.version, "Install", "インストール", "Solvane.scr", "MP3", "WAV", "CD", "MIT",
                       f"Solvane-{args.version}-{arch}-setup.exe", "Getting back to Solvane", "Solvane に戻すには",
                       'Start menu folder "Solvane"', "スタート メニューに「Solvane」フォルダー"):
            expect(needed in text, f"the {arch} read-me does not mention {needed!r}")
        # Windows' Configure on a .scr starts the saver: the way to the settings is elsewhere.
        for wrong in ("Configure", "構成"):
            expect(wrong not in text, f"the {arch} read-me sends users to {wrong!r}")
        for heading, named in (("Settings", '"Solvane settings"'), ("設定", "「Solvane settings」")):
            paragraph = first_paragraph(text, heading)
            expect(paragraph is not None and named in paragraph,
                   f"the {arch} read-me's section {heading!r} does not name {named}: {paragraph!r}")
        expect(members[FOLDER + "LICENSE.txt"] == licence.replace(b"\n", b"\r\n"),
               f"the {arch} LICENSE.txt is not the repository's licence with CRLF lines")


def check_programs_and_installers_carry_version_and_machine(args):
    for arch, machine in ARCHES.items():
        members = zip_members(args, arch)
        for name in PROGRAMS:
            info = expect_version(members[FOLDER + name], f"{arch} {name}", args.version, machine)
            expect(info["strings"].get("OriginalFilename") == name,
                   f"{arch} {name} calls itself {info['strings'].get('OriginalFilename')!r}")
        with open(package_path(args, arch, "-setup.exe"), "rb") as f:
            expect_version(f.read(), f"the {arch} installer", args.version, machine)


def check_program_manifests_fit_their_machine_and_version(args):
    # A manifest naming another architecture stops Windows from starting the program.
    for arch in ARCHES:
        members = zip_members(args, arch)
        for name in PROGRAMS:
            manifest = PeFile(members[FOLDER + name]).resource(24)  # RT_MANIFEST
            expect(manifest is not None, f"{arch} {name} has no manifest")
            named = set(re.findall(rb'processorArchitecture="([^"]*)"', manifest))
            expect(named and named <= {b"*", MANIFEST_ARCH[arch].encode()},
                   f"the manifest of {arch} {name} names the architectures {sorted(named)}")
            own = re.search(rb'<assemblyIdentity type="win32" name="Solvane\.[^"]*" version="([^"]*)"', manifest)
            expect(own and own.group(1).decode() == args.version + ".0",
                   f"the manifest of {arch} {name} gives the version {own and own.group(1)}")


def imported_dlls(arch, path):
    done = subprocess.run([OBJDUMP[arch], "-p", path], capture_output=True, text=True, timeout=60)
    expect(done.returncode == 0, f"{OBJDUMP[arch]} -p {path} failed: {done.stderr.strip()}")
    return {line.split("DLL Name:", 1)[1].strip().lower() for line in done.stdout.splitlines()
            if "DLL Name:" in line}


def check_shipped_programs_import_only_system_dlls(args):
    with tempfile.TemporaryDirectory() as folder:
        for arch, machine in ARCHES.items():
            shipped = {}
            for name, data in zip_members(args, arch).items():
                if name.endswith((".scr", ".dll")):
                    shipped[name] = os.path.join(folder, f"{arch}-{os.path.basename(name)}")
                    with open(shipped[name], "wb") as f:
                        f.write(data)
            shipped["setup"] = package_path(args, arch, "-setup.exe")
            for name, path in shipped.items():
                dlls = imported_dlls(arch, path)
                expect("kernel32.dll" in dlls, f"{arch} {name}: no imports read ({dlls})")
                expect(dlls <= SYSTEM_DLLS, f"{arch} {name} imports {sorted(dlls - SYSTEM_DLLS)}")
                expect(PeFile(open(path, "rb").read()).machine == machine, f"{arch} {name}: wrong machine")


def check_programs_stay_lean(args):
    for arch in ARCHES:
        members = zip_members(args, arch)
        for name, limit in SIZE_LIMITS.items():
            size = len(members[FOLDER + name])
            bound = f" (at most {limit // 1024} KiB)" if arch == "win64" else ""
            print(f"     {arch} {name}: {size / 1024:.0f} KiB{bound}")
            expect(arch != "win64" or size <= limit, f"{arch} {name} weighs {size} bytes, more than {limit}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    add_release_arguments(parser)
    args = parser.parse_args()
    checks = [check_zips_hold_programs_readme_and_licence,
              check_programs_and_installers_carry_version_and_machine,
              check_program_manifests_fit_their_machine_and_version,
              check_shipped_programs_import_only_system_dlls,
              check_programs_stay_lean]
    finish(run_each(checks, lambda check: check(args)), checks)


if __name__ == "__main__":
    main()
