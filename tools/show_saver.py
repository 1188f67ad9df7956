#!/usr/bin/env python3
"""Runs a saver run (Solvane.scr /s) on a private virtual display, for a
machine with no X display, and keeps what a person would have seen: two
screenshots a second apart, whose paths it prints."""
import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "harness"))

from contract import NAMES  # noqa: E402
from winenv import private_env  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--install", required=True, help="folder holding Solvane.scr and Solvane.dll")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    probe = os.path.join(args.build, "windows", "tests", "e2e", "probe", "probe.exe")
    frontend = os.path.join(args.install, NAMES.frontendFile)
    with private_env(os.path.join(args.out, "wine"), probe) as env:
        env.mouse_move(960, 540)
        saver = env.start(frontend, ["/s"])
        window = env.wait_window(NAMES.rendererTitle, timeout=30)
        print(f"saver window {window.width}x{window.height}")
        for name in ("screenshot-1.png", "screenshot-2.png"):
            time.sleep(1.0)  # let the trails build up between the pictures
            print(env.screenshot(os.path.join(args.out, name)))
        env.key("space")
        print(f"saver ended with exit code {saver.wait(30)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
