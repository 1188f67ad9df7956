#!/usr/bin/env python3
"""Proves the Wine harness itself: the virtual desktop's size, window
discovery and messages, process lifetimes and bounded waits, screenshots,
sound recording (from Linux and from Wine), X input reaching Wine windows,
OpenGL, the Japanese font mapping and the Windows version setting."""

import os
import statistics
import subprocess
import sys
import time

import common
from common import HarnessError, expect
from contract import NAMES

SAVER_CLASS = NAMES.rendererClass
SAVER_TITLE = NAMES.rendererStartTitle
WM_CLOSE = 0x0010
WM_GETTEXTLENGTH = 0x000E
HOST_TITLE = "Solvane Probe Host"
HOLD_RECT = (300, 200, 700, 500)  # left, top, right, bottom
PROBE = "tests/e2e/probe/probe.exe"  # in the Windows build tree
BLACK = (0, 0, 0)
EXIT_KEY = 3
EXIT_CLICK = 4
EXIT_WHEEL = 5
WHEEL_DELTA = 120


def hold(env, args, *options):
    """Starts `probe hold` with a known geometry; returns (process, window, client size)."""
    left, top, right, bottom = HOLD_RECT
    proc = env.start(common.windows_binary(args, PROBE),
                     ["hold", SAVER_CLASS, SAVER_TITLE, 60000, "--geometry", left, top, right - left, bottom - top,
                      *options])
    # The line comes once the window is shown and foreground, so input can follow.
    printed = proc.wait_output(r"(\d+) (\d+) (\d+)", 15)
    window = env.wait_window(SAVER_TITLE, timeout=15, cls=SAVER_CLASS)
    expect(int(printed.group(1)) == window.hwnd,
           f"probe hold printed hwnd {printed.group(1)}, wait_window found {window.hwnd}")
    return proc, window, (int(printed.group(2)), int(printed.group(3)))


def check_screen_is_virtual_desktop(env, args):
    expect(env.screen_metrics() == (1920, 1080),
           f"Wine reports a {env.screen_metrics()} screen, the virtual desktop is 1920x1080")
    # Xvfb's screen has the same size, so look at the desktop's own X window too.
    found = env.xdotool("search", "--name", "^Default - Wine desktop$").split()
    expect(found == [str(env.state["desktop_window"])], f"Wine desktop X windows: {found}")
    geometry = env.xdotool("getwindowgeometry", "--shell", found[0])
    values = dict(line.split("=", 1) for line in geometry.split())
    expect((values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]) == ("0", "0", "1920", "1080"),
           f"the Wine desktop X window is {values}")
    durations = []
    for _ in range(5):
        started = time.monotonic()
        env.screen_metrics()
        durations.append(time.monotonic() - started)
    print(f"     a probe run takes {statistics.median(durations) * 1000:.0f} ms (median of 5)")


def check_window_found_and_closed(env, args):
    proc, window, _ = hold(env, args)
    expect(window.rect == HOLD_RECT, f"window rect {window.rect}, created at {HOLD_RECT}")
    expect(window.visible, "the hold window is not visible")
    expect(env.find_window(SAVER_TITLE, SAVER_CLASS) == window, "find_window disagrees with wait_window")
    expect(env.find_window(SAVER_TITLE, "NoSuchClass") is None, "find_window ignored the class")
    length = env.send(window.hwnd, WM_GETTEXTLENGTH)
    expect(length == len(SAVER_TITLE), f"WM_GETTEXTLENGTH sent to the window gave {length}")
    expect(env.foreground() == (window.hwnd, SAVER_TITLE), f"foreground is {env.foreground()}")
    env.post(window.hwnd, WM_CLOSE)
    env.wait_window_gone(SAVER_TITLE, timeout=10)
    rc = proc.wait(10)
    expect(rc == 0, f"probe hold exited {rc} after WM_CLOSE, expected 0")
    expect(env.find_window(SAVER_TITLE) is None, "window still found after its process exited")


def check_host_window(env, args):
    proc = env.start(env.probe_exe, ["host", 152, 112, 60000])
    window = env.wait_window(HOST_TITLE, timeout=15)
    expect((window.width, window.height) == (152, 112), f"host window is {window.width}x{window.height}")
    expect(env.children(window.hwnd) == [], "a fresh host window already has children")
    env.close_window(window.hwnd)
    expect(proc.wait(10) == 0, "probe host did not exit 0 after WM_CLOSE")


def check_bounded_waits_fail_and_kill(env, args):
    proc, _, _ = hold(env, args)
    try:
        proc.wait(0.3)
    except HarnessError:
        pass
    else:
        raise AssertionError("wait() returned although the program was still running")
    proc.kill()
    expect(not proc.alive(), "kill() left the program running")
    env.wait_window_gone(SAVER_TITLE, timeout=10)
    try:
        env.wait_window("No Such Window", timeout=0.5)
    except HarnessError as error:
        expect("No Such Window" in str(error), f"unclear wait_window error: {error}")
    else:
        raise AssertionError("wait_window found a window that does not exist")
    # The CTest path: winenv.py run passes exit codes through and kills on timeout.
    winenv_py = os.path.join(common.ROOT, "tools", "harness", "winenv.py")
    base = [sys.executable, winenv_py, "run", "--state", args.state]
    found = subprocess.run(base + ["--", env.probe_exe, "find", "No Such Window"],
                           capture_output=True, timeout=60)
    expect(found.returncode == 1, f"run passed exit code {found.returncode}, probe find gives 1")
    started = time.monotonic()
    timed_out = subprocess.run(base + ["--timeout", "2", "--", env.probe_exe, "hold", "SolvaneSelfTest",
                                       "Run Timeout"], capture_output=True, timeout=60)
    expect(timed_out.returncode == 124, f"run on a hanging program exited {timed_out.returncode}")
    expect(time.monotonic() - started < 20, "run did not stop at its timeout")
    env.wait_window_gone("Run Timeout", timeout=10)


def check_screenshot_shows_windows(env, args):
    _, window, _ = hold(env, args)
    image = env.capture()
    expect((image.width, image.height) == (1920, 1080),
           f"screenshot is {image.width}x{image.height}, expected 1920x1080")
    inside = ((window.left + window.right) // 2, (window.top + window.bottom) // 2)
    outside = (window.right + 200, window.bottom + 200)
    expect(image.pixel(*inside) == BLACK,
           f"pixel {inside} inside the black hold window is {image.pixel(*inside)}")
    expect(image.pixel(*outside) != BLACK,
           f"pixel {outside} on the desktop is black too: the screenshot may be empty")
    print(f"     desktop colour {image.pixel(*outside)}")


def make_tone(env):
    path = os.path.join(common.scratch_dir(env, "sound"), "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path,
                    "synth", "0.5", "sine", "440", "vol", "0.5"], check=True, timeout=30)
    return path


def record_until(env, seconds):
    common.winenv.poll(lambda: env.recorded_seconds() >= seconds, seconds + 10,
                       what=f"{seconds} s of recording")


def check_sound_recording(env, args):
    tone = make_tone(env)
    env.record_start()
    record_until(env, 0.5)
    silence = env.sound_stats(env.record_stop())
    expect(silence.length >= 0.5, f"a silent recording lasts {silence.length} s, expected its wall time")
    expect(silence.max_amplitude < 0.001, f"nothing played, yet the peak is {silence.max_amplitude}")

    env.record_start()
    env.play_sound(tone)
    played = env.sound_stats(env.record_stop())
    expect(played.rms > 0.1, f"tone played by paplay has RMS {played.rms}, expected > 0.1")
    expect(0.45 < played.max_amplitude < 0.55, f"tone peak {played.max_amplitude}, generated at 0.5")

    env.record_start()
    rc, out = env.probe("play", env.winpath(tone))
    expect(rc == 0, f"PlaySoundA failed under Wine ({rc}): {out}")
    from_wine = env.sound_stats(env.record_stop())
    expect(from_wine.rms > 0.1, f"tone played through Wine has RMS {from_wine.rms}, expected > 0.1")
    print(f"     RMS silence {silence.rms:.4f}, paplay {played.rms:.3f}, Wine {from_wine.rms:.3f}")


def check_keys_reach_window(env, args):
    for press, vk in ((lambda: env.key("a"), 65), (lambda: env.key_down("Escape"), 27)):
        proc, _, _ = hold(env, args, "--exit-on-key")
        press()
        rc = proc.wait(10)
        env.key_up("Escape")
        expect(rc == EXIT_KEY, f"probe hold exited {rc}, expected {EXIT_KEY} (WM_KEYDOWN)")
        expect(f"key {vk}" in proc.stdout(), f"expected VK {vk}, got {proc.stdout()!r}")


def check_click_reaches_window(env, args):
    proc, window, (client_w, client_h) = hold(env, args, "--exit-on-click")
    env.mouse_move(window.left + 10, window.top + 40)
    env.mouse_move_rel(90, 60)
    x, y = env.mouse_position()
    expect((x, y) == (window.left + 100, window.top + 100), f"pointer at {(x, y)} after the moves")
    env.click("left")
    rc = proc.wait(10)
    expect(rc == EXIT_CLICK, f"probe hold exited {rc}, expected {EXIT_CLICK} (WM_LBUTTONDOWN)")
    border = (window.width - client_w) // 2
    caption = window.height - client_h - border
    expected = f"click left {x - window.left - border} {y - window.top - caption}"
    expect(expected in proc.stdout(), f"expected {expected!r}, got {proc.stdout()!r}")

    proc, _, _ = hold(env, args, "--exit-on-click")
    env.button_down("right")
    rc = proc.wait(10)
    env.button_up("right")
    expect(rc == EXIT_CLICK and "click right" in proc.stdout(),
           f"right button down gave exit {rc}, output {proc.stdout()!r}")


def check_wheel_reaches_window(env, args):
    for clicks in (1, -1):
        proc, window, _ = hold(env, args, "--exit-on-wheel")
        env.mouse_move(window.left + 100, window.top + 100)
        env.wheel(clicks)
        rc = proc.wait(10)
        expect(rc == EXIT_WHEEL, f"probe hold exited {rc}, expected {EXIT_WHEEL} (WM_MOUSEWHEEL)")
        expected = f"wheel {clicks * WHEEL_DELTA}"
        expect(expected in proc.stdout(), f"wheel({clicks}): expected {expected!r}, got {proc.stdout()!r}")


def check_opengl(env, args):
    rc, out = env.probe("gl")
    expect(rc == 0, f"WGL could not clear to red and read it back ({rc}): {out!r}")
    print(f"     OpenGL renderer: {out.split(' ', 3)[-1].strip()}")


def check_japanese_font(env, args):
    rc, out = env.probe("font", "MS UI Gothic")
    expect(rc == 0 and out.split()[-1] == "1", f"'MS UI Gothic' has no Japanese glyphs: {out!r}")
    rc, out = env.probe("font", "No Such Face")
    expect(rc == 0 and out.split()[-1] == "0", f"the Japanese check cannot tell fonts apart: {out!r}")
    face = "\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af"  # ＭＳ Ｐゴシック, needs code page 932
    proc = env.start(env.probe_exe, ["font", face], extra_env={"LC_ALL": "ja_JP.UTF-8"})
    expect(proc.wait(30) == 0, "probe font failed")
    with open(proc.record["stdout"], "rb") as f:
        printed = f.read().decode("cp932").split()
    expect(printed == face.split() + ["1"], f"{face} resolved to {printed}")


def check_windows_version(env, args):
    env.set_windows_version("win98")
    try:
        rc, out = env.probe("version")
        expect(out.split() == ["4", "10", "1"], f"with win98 GetVersionEx gives {out!r}")
    finally:
        env.set_windows_version(None)
    rc, out = env.probe("version")
    expect(out.split()[-1] == "2", f"default version is not an NT platform: {out!r}")


CHECKS = [
    check_screen_is_virtual_desktop,
    check_window_found_and_closed,
    check_host_window,
    check_bounded_waits_fail_and_kill,
    check_screenshot_shows_windows,
    check_sound_recording,
    check_keys_reach_window,
    check_click_reaches_window,
    check_wheel_reaches_window,
    check_opengl,
    check_japanese_font,
    check_windows_version,
]

if __name__ == "__main__":
    common.run_checks(CHECKS, __doc__)
