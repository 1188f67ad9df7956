#!/usr/bin/env python3
"""The native X11 program `solvane` under a private Xvfb: each mode draws the
glowing sheet and ends as it should; bad arguments are refused; a frame from
a fixed seed and clock matches the offscreen core's; frames come at the
display's pace, from the driver where it keeps to a swap interval (the
preloaded VSYNC_DRIVER stands in for one), else from the program.

  solvane_x11_test.py SOLVANE RENDER_FRAMES VSYNC_DRIVER
"""
import re
import os
import signal
import subprocess
import sys
import time
import unittest

from x11_display import SCREEN, ProgramTest, Xlib, poll, start_xvfb, stop_xvfb

SOLVANE = RENDER_FRAMES = VSYNC_DRIVER = None


class SolvaneOnX11(ProgramTest):
    def setUp(self):
        super().setUp()
        self.xdotool("mousemove", SCREEN[0] // 2, SCREEN[1] // 2)

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True, timeout=30,
                       capture_output=True)

    def screenshot(self, window="root"):
        done = subprocess.run(["convert", f"x:{window}", "-depth", "8", "rgb:-"], env=self.env,
                              capture_output=True, timeout=30)
        return done.stdout if done.returncode == 0 else b""

    @staticmethod
    def lit_share(rgb):
        pixels = len(rgb) // 3
        if not pixels:
            return 0.0
        lit = sum(1 for i in range(0, len(rgb) - 2, 3 * 7) if max(rgb[i:i + 3]) > 24)
        return lit / (pixels / 7)

    def expect_glow(self, window="root"):
        first = poll(lambda: (lambda s: s if self.lit_share(s) > 0.05 else None)(self.screenshot(window)), 20,
                     what="glow on the screen")
        poll(lambda: (lambda s: s and s != first)(self.screenshot(window)), 10, what="the picture to move")

    def expect_running(self, proc, seconds=1.0):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertIsNone(proc.poll(), f"solvane ended: {self.stderr(proc)}")
            time.sleep(0.05)

    def expect_exit(self, proc, code=0):
        try:
            rc = proc.wait(10)
        except subprocess.TimeoutExpired:
            self.fail("solvane kept running")
        self.assertEqual(rc, code, self.stderr(proc))

    def top_level_windows(self):
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.env, capture_output=True, text=True,
                             timeout=30).stdout
        return sorted(line.split()[0] for line in out.splitlines() if line.strip().startswith("0x"))

    # ---- a window of its own

    def test_own_window_glows_and_ends_on_a_key(self):
        proc = self.start()
        self.expect_glow()
        self.xdotool("key", "a")
        self.expect_exit(proc)

    def test_own_window_ends_on_buttons_but_not_wheel_or_side_buttons(self):
        for button in (1, 2, 3):
            proc = self.start()
            self.expect_glow()
            for other in (4, 5, 8, 9):
                self.xdotool("click", other)
            self.expect_running(proc)
            self.xdotool("click", button)
            self.expect_exit(proc)

    def test_own_window_ignores_the_first_move_however_far(self):
        proc = self.start()
        self.expect_glow()
        self.xdotool("mousemove_relative", "--", 60, 40)
        self.expect_running(proc)
        # The reference stayed put, so the next move, however small, is too far.
        self.xdotool("mousemove_relative", "--", 1, 0)
        self.expect_exit(proc)

    def test_own_window_follows_a_slow_drift_and_ends_on_five_pixels(self):
        proc = self.start()
        self.expect_glow()
        for _ in range(10):
            self.xdotool("mousemove_relative", "--", 2, 2)
            time.sleep(0.1)  # each small step handled before the next
        self.expect_running(proc)
        self.xdotool("mousemove_relative", "--", 3, 2)
        self.expect_exit(proc)

    def test_own_window_ends_when_it_loses_the_focus(self):
        proc = self.start()
        self.expect_glow()
        other = self.x.window(10, 10, 50, 50)
        self.windows.append(other)
        self.x.focus(other)
        self.expect_exit(proc)

    # ---- a given window and the root

    def test_given_window_follows_its_size_and_ends_with_it(self):
        window = self.x.window(40, 30, 320, 240)
        self.windows.append(window)
        proc = self.start("-window-id", hex(window))
        self.expect_glow(hex(window))
        self.x.resize(window, 400, 300)
        self.expect_running(proc)
        self.expect_glow(hex(window))
        self.xdotool("key", "a")
        self.expect_running(proc, 0.5)
        self.windows.remove(window)
        self.x.destroy(window)
        self.expect_exit(proc)

    def test_given_window_resizes_without_leaking(self):
        """Each resize makes new scenes for the new size and frees the old:
        the GL texture count and the resident memory stay where they were."""
        window = self.x.window(0, 0, 320, 240)
        self.windows.append(window)
        proc = self.start("-window-id", hex(window), "--stats")

        def layouts():
            return [line for line in self.stderr(proc).splitlines() if " scenes, " in line]

        poll(lambda: layouts(), 20, what="the first layout")

        sizes = iter((336 + n % 5 * 16, 252 + n % 3 * 12) if n % 2 else (320, 240) for n in range(1, 10**6))

        def resize(count):
            for _ in range(count):
                done = len(layouts())
                width, height = next(sizes)
                self.x.resize(window, width, height)
                poll(lambda: len(layouts()) > done and f" {width}x{height}," in layouts()[-1], 30,
                     what=f"the layout for {width}x{height}")

        def resident_kib():
            with open(f"/proc/{proc.pid}/status") as f:
                return int(next(line.split()[1] for line in f if line.startswith("VmRSS:")))

        resize(20)  # let the allocators reach their working size
        before = resident_kib()
        resize(200)
        after = resident_kib()
        textures = {line.rsplit(",", 1)[1].strip() for line in layouts()}
        print(f"resident {before} KiB before 200 resizes, {after} KiB after; textures per layout: {textures}",
              file=sys.stderr)
        self.assertEqual(textures, {"1 textures"}, "old scenes' textures are not freed")
        self.assertLess(after - before, 2048, f"resident memory grew from {before} to {after} KiB")
        self.assertIsNone(proc.poll(), self.stderr(proc)[-500:])
        proc.send_signal(signal.SIGTERM)
        self.expect_exit(proc)

    def test_screensaver_window_variable_names_the_window_for_root(self):
        window = self.x.window(0, 0, 200, 150)
        self.windows.append(window)
        # As a daemon starts its programs: -root plus the options every hosted
        # program is given, the variable in decimal or hexadecimal.
        for arguments, named in ((("-root",), str(window)),
                                 (("-root", "-install", "-visual", "default", "-delay", 20000, "-no-fps"),
                                  "0x%X" % window)):
            proc = self.start(*arguments, env=dict(self.env, XSCREENSAVER_WINDOW=named))
            self.expect_glow(hex(window))
            proc.send_signal(signal.SIGTERM)
            self.expect_exit(proc)
        # Started from a shell that inherited the variable: a window of its own.
        before = self.top_level_windows()
        proc = self.start("--stats", env=dict(self.env, XSCREENSAVER_WINDOW=str(window)))
        poll(lambda: " scenes, " in self.stderr(proc), 20, what="the first layout")
        self.assertIn(f"{SCREEN[0]}x{SCREEN[1]}, ", self.stderr(proc), "it did not draw full-screen")
        self.assertEqual(len(self.top_level_windows()), len(before) + 1, "no window of its own")
        self.xdotool("key", "a")
        self.expect_exit(proc)

    def test_sigterm_ends_every_mode(self):
        window = self.x.window(0, 0, 160, 120)
        self.windows.append(window)
        for arguments in ((), ("-root",), ("-window-id", window)):
            proc = self.start(*arguments, "-fps")
            poll(lambda: "fps" in self.stderr(proc), 20, what=f"frames per second from {arguments}")
            proc.send_signal(signal.SIGTERM)
            self.expect_exit(proc)

    def test_root_window_glows(self):
        proc = self.start("-root")
        self.expect_glow()
        proc.send_signal(signal.SIGINT)
        self.expect_exit(proc)

    # ---- refused

    def test_bad_arguments_are_refused_without_a_window(self):
        before = self.top_level_windows()
        for arguments, code, text in ((("--bogus",), 2, "unknown option --bogus"),
                                      (("-window-id",), 2, "-window-id needs a number"),
                                      (("-window-id", "zz"), 2, "-window-id needs a number"),
                                      (("-window-id", "0x7ffffff"), 2, "is not a window"),
                                      (("-window-id", " -1"), 2, "-window-id needs a number"),
                                      (("-window-id", "0x100000001"), 2, "-window-id needs a number"),
                                      (("-delay", "soon"), 2, "-delay needs a number"),
                                      (("-root", "-window-id", "1"), 2, "exclude each other")):
            proc = self.start(*arguments)
            self.expect_exit(proc, code)
            self.assertIn(text, self.stderr(proc))
        proc = self.start(env=dict(self.env, DISPLAY=":4242"))
        self.expect_exit(proc, 1)
        self.assertIn("cannot open display", self.stderr(proc))
        for named in ("nonsense", " -1", "4294967297"):
            proc = self.start("-root", env=dict(self.env, XSCREENSAVER_WINDOW=named))
            self.expect_exit(proc, 2)
            self.assertIn(f"XSCREENSAVER_WINDOW is not a window id: {named}", self.stderr(proc))
        self.assertEqual(self.top_level_windows(), before, "a refused start left a window behind")
        proc = self.start("--help")
        self.expect_exit(proc, 0)

    def valgrind(self, *arguments, env=None):
        """Runs solvane under valgrind's leak check; returns its exit code and
        standard error, after checking that nothing was definitely lost (the
        loader's own reads in dlopen are not leaks and are not judged)."""
        done = subprocess.run(["valgrind", "--leak-check=full", SOLVANE, *map(str, arguments)],
                              env=env or self.env, capture_output=True, text=True, timeout=120)
        self.assertTrue("definitely lost: 0 bytes" in done.stderr or "no leaks are possible" in done.stderr,
                        f"memory lost on the way out of {arguments}:\n{done.stderr[-3000:]}")
        return done.returncode, done.stderr

    def test_error_paths_end_cleanly_without_leaks(self):
        """No GLX on the display (exit code 1), or a window no GL can draw in
        (2, as for any unusable window): a message, no window left behind,
        nothing lost (valgrind)."""
        xvfb, display = start_xvfb(glx=False)
        try:
            other = Xlib(display)
            window = other.window(0, 0, 100, 100)
            for arguments in ((), ("-root",), ("-window-id", hex(window))):
                rc, err = self.valgrind(*arguments, env=dict(self.env, DISPLAY=display))
                self.assertEqual(rc, 1, f"{arguments} on a display without GLX:\n{err[-3000:]}")
                self.assertIn("has no OpenGL (GLX)", err)
            other.close()
        finally:
            stop_xvfb(xvfb)
        before = self.top_level_windows()
        window = self.x.input_only_window(0, 0, 100, 100)
        self.windows.append(window)
        rc, err = self.valgrind("-window-id", hex(window))
        self.assertEqual(rc, 2, err[-3000:])
        self.assertIn("input-only: OpenGL cannot draw into it", err)
        self.assertEqual(self.top_level_windows(), sorted(before + [hex(window)]), "a window was left behind")

    # ---- frames at the display's pace

    def pacing_run(self, *arguments, preload=False, seconds=3):
        """Runs solvane in a small window of its own for a few seconds with
        --stats -fps; returns its standard error once SIGTERM ended it."""
        window = self.x.window(0, 0, 64, 48)
        self.windows.append(window)
        env = dict(self.env, LD_PRELOAD=VSYNC_DRIVER) if preload else self.env
        proc = self.start("-window-id", window, "--stats", "-fps", *arguments, env=env)
        poll(lambda: self.stderr(proc).count(" fps") >= seconds, 30, what=f"{seconds} frame rates")
        proc.send_signal(signal.SIGTERM)
        self.expect_exit(proc)
        err = self.stderr(proc)
        print(f"{arguments} {'with' if preload else 'without'} the vsync driver:\n{err}", file=sys.stderr)
        return err

    @staticmethod
    def paced_here(err):
        found = re.search(r"ended after (\d+) frames \((\d+) paced by the program\)", err)
        return int(found.group(1)), int(found.group(2))

    def test_a_driver_that_keeps_to_the_swap_interval_paces_the_frames(self):
        err = self.pacing_run(preload=True)
        self.assertIn("vsync driver: swap interval 1", err, "the interval was not asked for")
        self.assertIn("swap interval 1 (GLX_EXT_swap_control), display 60.00 Hz", err)
        frames, here = self.paced_here(err)
        self.assertGreater(frames, 0)
        # The program paces the first frames itself, until they show that the
        # driver waits for the display (8 in a row).
        self.assertLessEqual(here, 8, "frames paced twice, by the driver and by the program")
        err = self.pacing_run("--unpaced", preload=True, seconds=1)
        self.assertIn("vsync driver: swap interval 0", err, "unpaced runs must switch the driver's pacing off")

    def test_a_driver_that_does_not_leaves_the_pacing_to_the_program(self):
        # Mesa under Xvfb offers no swap control to a direct context.
        err = self.pacing_run()
        self.assertIn("swap interval -1 (no swap control), display 60.00 Hz", err)
        frames, here = self.paced_here(err)
        self.assertGreater(here, 0, f"none of {frames} frames was paced by the program")
        rates = [float(v) for v in re.findall(r"([\d.]+) fps", err)]
        self.assertLessEqual(max(rates), 63, "more frames than the display shows")
        _, unpaced = self.paced_here(self.pacing_run("--unpaced", seconds=1))
        self.assertEqual(unpaced, 0)

    def test_delay_holds_frame_starts_apart(self):
        err = self.pacing_run("-delay", 50000)
        rates = [float(v) for v in re.findall(r"([\d.]+) fps", err)]
        self.assertGreater(min(rates), 0)
        # The first second counts the frame at its start as well as the one at its end.
        self.assertLessEqual(max(rates[1:]), 20.5, f"-delay 50000 allows 20 frames a second: {rates}")

    def test_paced_and_unpaced_runs_draw_the_same_frames(self):
        window = self.x.window(0, 0, 320, 240)
        self.windows.append(window)
        frames = []
        for extra in ((), ("--unpaced",)):
            dump = os.path.join(self.folder, f"frame{len(frames)}.rgb")
            proc = self.start("-window-id", window, "--seed", 31337, "--step-ms", 16, "--dump-after", 30, dump,
                              "--stats", *extra)
            self.expect_exit(proc)
            with open(dump, "rb") as f:
                frames.append(f.read())
            if not extra:
                self.assertGreater(self.paced_here(self.stderr(proc))[1], 0, "the program paced no frame")
        self.assertEqual(frames[0], frames[1], "pacing changed the picture")
        self.assertGreater(self.lit_share(frames[0]), 0.02, "the frame is black")

    # ---- the same picture as the core offscreen

    def test_fixed_frame_matches_the_offscreen_core(self):
        window = self.x.window(0, 0, 320, 240)
        self.windows.append(window)
        dump = os.path.join(self.folder, "frame.rgb")
        proc = self.start("-window-id", window, "--seed", 31337, "--step-ms", 16, "--dump-after", 5, dump)
        self.expect_exit(proc)
        reference = os.path.join(self.folder, "reference")
        subprocess.run([str(a) for a in [RENDER_FRAMES, "--format", "rgb", "--width", 320, "--height", 240,
                                         "--frames", 5, "--every", 5, "--seed", 31337, "--step-ms", 16, "--out",
                                         reference]], check=True, capture_output=True, timeout=60)
        with open(dump, "rb") as f:
            ours = f.read()
        with open(os.path.join(reference, "frame-0005.rgb"), "rb") as f:
            theirs = f.read()
        self.assertEqual(len(ours), len(theirs))
        mean = sum(abs(a - b) for a, b in zip(ours, theirs)) / len(ours)
        self.assertLess(mean, 1.5, "the X11 frame differs from the offscreen core's")
        self.assertGreater(self.lit_share(ours), 0.02, "the frame is black")


if __name__ == "__main__":
    SOLVANE, RENDER_FRAMES, VSYNC_DRIVER = sys.argv[1:4]
    SolvaneOnX11.program = SOLVANE
    unittest.main(argv=sys.argv[:1], verbosity=2)
