#!/usr/bin/env python3
"""The Debian package as Debian's own checkers see it: lintian finds no error
and no warning (an override counts only with its reason above it), none of
its hardening findings either; the desktop entry the package ships passes
desktop-file-validate; and the program in it is built hardened (PIE, relro
and bind-now, stack protector, fortified functions).

  debian_package_test.py --deb FILE
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "harness"))

from checks import finish, run_each  # noqa: E402

PROGRAM = "usr/libexec/xscreensaver/solvane"
DESKTOP_ENTRY = "usr/share/applications/solvane.desktop"
CHANGELOG = "usr/share/doc/solvane/changelog.gz"
OVERRIDES = "usr/share/lintian/overrides/solvane"
TIMEOUT = 300
# "E: solvane: tag [details]", also "W: solvane binary: ..." and the like.
TAG_LINE = re.compile(r"^([EWIPXON]): solvane(?: \w+)?: (\S+)(.*)$")


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def run(argv):
    return subprocess.run(argv, capture_output=True, text=True, timeout=TIMEOUT)


def lintian_tags(deb):
    # Info tags too: lintian files the hardening findings under them.
    done = run(["lintian", "--display-info", "--show-overrides", "--tag-display-limit", "0", deb])
    tags = [TAG_LINE.match(line) for line in done.stdout.splitlines()]
    tags = [(m.group(1), m.group(2), m.group(3).strip()) for m in tags if m]
    # 2: it ran and found errors; anything else but 0: it did not run through.
    expect(done.returncode == 0 or (done.returncode == 2 and tags),
           f"lintian did not run ({done.returncode}): {done.stderr.strip()}")
    return tags, done.stdout


def check_lintian_finds_no_error_no_warning_and_no_hardening_gap(args):
    tags, output = lintian_tags(args.deb)
    print("     " + "\n     ".join(output.splitlines() or ["(lintian: nothing to say)"]), flush=True)
    bad = [t for t in tags if t[0] in "EW" or t[1].startswith("hardening-")]
    expect(not bad, f"lintian: {bad}")
    # Overridden tags show as O; each override must say why, on the line above it.
    with tempfile.TemporaryDirectory() as folder:
        overrides = os.path.join(extracted(args.deb, folder), OVERRIDES)
        lines = open(overrides).read().splitlines() if os.path.exists(overrides) else []
    for above, line in zip([""] + lines, lines):
        expect(line.startswith("#") or above.startswith("#"), f"the lintian override {line!r} gives no reason")


def extracted(deb, folder):
    done = run(["dpkg-deb", "-x", deb, folder])
    expect(done.returncode == 0, f"dpkg-deb -x failed: {done.stderr.strip()}")
    return folder


def check_desktop_entry_validates(args):
    with tempfile.TemporaryDirectory() as folder:
        entry = os.path.join(extracted(args.deb, folder), DESKTOP_ENTRY)
        expect(os.path.isfile(entry), f"the package has no {DESKTOP_ENTRY}")
        done = run(["desktop-file-validate", entry])
        said = (done.stdout + done.stderr).strip()
        expect(done.returncode == 0 and not said, f"desktop-file-validate ({done.returncode}): {said}")


def check_changelog_names_the_version(args):
    with tempfile.TemporaryDirectory() as folder:
        changelog = os.path.join(extracted(args.deb, folder), CHANGELOG)
        expect(os.path.isfile(changelog), f"the package has no {CHANGELOG}")
        done = run(["dpkg-parsechangelog", "-l", changelog, "-S", "Version"])
        expect(done.returncode == 0, f"dpkg-parsechangelog: {done.stderr.strip()}")
        version = run(["dpkg-deb", "-f", args.deb, "Version"]).stdout.strip()
        expect(done.stdout.strip() == version, f"the changelog's latest entry is {done.stdout.strip()}, "
               f"the package's version {version}")


def check_program_is_hardened(args):
    with tempfile.TemporaryDirectory() as folder:
        program = os.path.join(extracted(args.deb, folder), PROGRAM)
        header = run(["readelf", "-h", program]).stdout
        dynamic = run(["readelf", "-d", program]).stdout
        segments = run(["readelf", "-l", program]).stdout
        symbols = run(["readelf", "--dyn-syms", "-W", program]).stdout
        imported = set(re.findall(r"\bUND (\w+)", symbols))
        expect("DYN (Position-Independent Executable file)" in header, "not a position-independent executable")
        expect("GNU_RELRO" in segments, "no relro segment")
        expect(re.search(r"\(FLAGS\)\s+BIND_NOW|\(FLAGS_1\)\s+Flags:.*\bNOW\b", dynamic), "not bound now")
        expect("__stack_chk_fail" in imported, "no stack protector")
        fortified = sorted(name for name in imported if name.startswith("__") and name.endswith("_chk")
                           and name != "__stack_chk_fail")
        print(f"     fortified functions: {', '.join(fortified)}", flush=True)
        expect(fortified, "no fortified functions")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--deb", required=True)
    args = parser.parse_args()
    if not os.path.isfile(args.deb):
        print(f"{args.deb} is missing: build the package target of the native tree first")
        sys.exit(1)
    checks = [check_lintian_finds_no_error_no_warning_and_no_hardening_gap, check_desktop_entry_validates,
              check_changelog_names_the_version, check_program_is_hardened]
    finish(run_each(checks, lambda check: check(args)), checks)


if __name__ == "__main__":
    main()
