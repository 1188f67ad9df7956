#!/usr/bin/env python3
"""A saver run of Solvane.scr with the real renderer beside it: the chosen
music plays while the renderer runs and stops with it, and the front end
ends within moments of the renderer's window going."""

import os
import shutil
import time

import common
from common import expect, scratch_dir, windows_binary
from contract import NAMES
from frontend_common import (CLOSE_TRACE, MP3_STOPPED, SAVER_RUN_TITLE, WAV_STOPPED, Installation, Recording,
                             expect_close_step, expect_no_window, make_tone, mci_commands, wait_saver_run)
from renderer_common import TITLE as RENDERER_TITLE
from renderer_common import park_cursor

WM_CLOSE = 0x0010
LATE_RENDERER = "tests/e2e/late_renderer/late_renderer.exe"
# The sound the system plays for a sound it cannot open, unless told not to:
# win.ini's [Sounds] Default, which the system keeps in this key.
DEFAULT_SOUND = (r"HKCU\Control Panel\Sounds", "Default")
# A sound that never started has nothing to end: only the stop is made.
WAV_REFUSED_STOPPED = ["PlaySound(NULL)"]
ANSWER_WITHIN_MS = 200


class Run:
    """One recorded saver run: start, let it play, end it, and keep the times
    (seconds from the start of the recording) for the analysis."""

    def __init__(self, env, installation, *arguments, extra_env=None):
        self.env = env
        park_cursor(env)
        env.record_start()
        self.started_recording = time.monotonic()
        self.frontend = installation.start(*arguments, winedebug=CLOSE_TRACE, extra_env=extra_env)
        self.renderer, self.saver_run = wait_saver_run(env)
        self.renderer_up = self.now()

    def now(self):
        return time.monotonic() - self.started_recording

    def play_for(self, seconds):
        common.winenv.poll(lambda: self.env.recorded_seconds() >= self.renderer_up + seconds, seconds + 10,
                           what=f"{seconds} s of recording")

    def end_with_key(self):
        self.env.key("space")
        self.finish()

    def finish(self):
        rc = self.frontend.wait(10)
        self.ended = self.now()
        expect(rc == 0, f"the front end ended with {rc}")
        common.winenv.poll(lambda: self.env.recorded_seconds() >= self.ended + 1.2, 10, what="the tail recording")
        self.sound = Recording(self.env.record_stop())
        self.commands = mci_commands(self.frontend)


def check_mp3_plays_repeats_and_stops(env, args):
    install = Installation(env, args, "run-mp3")
    tone = make_tone(scratch_dir(env, "run-mp3"), "short tone.mp3", 1.5)
    install.configure(2, 0, tone)
    run = Run(env, install, "/s")
    run.play_for(4.5)
    run.end_with_key()
    start, end = run.renderer_up + 0.6, run.renderer_up + 4.3
    level = run.sound.level(start, end)
    print(f"     level while running {level:.3f}, longest gap {run.sound.longest_silence(start, end):.2f} s, "
          f"after the end {run.sound.level(run.ended + 0.3, run.ended + 1.1):.4f}")
    expect(level > 0.05, f"the MP3 is not heard (level {level:.3f})")
    # MP3 through GStreamer starts late the first time in a fresh prefix:
    # the tone is judged where it is heard, over the whole run.
    frequency, heard = run.sound.tone(start, end)
    print(f"     tone {frequency:.0f} Hz over {heard:.2f} s of sound", flush=True)
    expect(heard >= 1.5, f"only {heard:.2f} s of the run held sound")
    expect(abs(frequency - 440) < 25, f"heard {frequency:.0f} Hz, the file is a 440 Hz tone")
    expect(run.sound.longest_silence(start, end) < 1.3,
           "the 1.5 s file was not restarted within about a second of its end")
    expect("play MP3Play from 0" in run.commands, f"never restarted from 0: {run.commands}")
    expect(run.sound.level(run.ended + 0.3, run.ended + 1.1) < 0.005, "the music goes on after the run")
    expect_close_step(run.frontend, MP3_STOPPED)
    opened = [c for c in run.commands if c.startswith("open ")]
    expect(opened == [f'open "{env.winpath(tone)}" type MPEGVideo Alias MP3Play'], f"open commands {opened}")


def check_wav_loops_without_a_timer(env, args):
    install = Installation(env, args, "run-wav")
    install.configure(2, 0, make_tone(scratch_dir(env, "run-wav"), "tone.WAV", 1.0, frequency=660))
    run = Run(env, install, "/s")
    run.play_for(3.5)
    run.end_with_key()
    start, end = run.renderer_up + 0.5, run.renderer_up + 3.3
    expect(run.sound.level(start, end) > 0.05, "the WAV is not heard")
    expect(run.sound.longest_silence(start, end) < 0.3, "the WAV does not loop seamlessly")
    expect(run.commands == [], f"a WAV run sent MCI commands: {run.commands}")
    expect(run.sound.level(run.ended + 0.3, run.ended + 1.1) < 0.005, "the WAV goes on after the run")
    expect_close_step(run.frontend, WAV_STOPPED)


def check_a_wav_that_cannot_be_opened_plays_no_default_sound(env, args):
    """A WAV another program holds open for writing: the settings load, which
    only reads, still finds it, but the sound player's open is refused. With a
    default sound configured the run stays silent rather than looping that
    sound, and the close step still stops the sound."""
    folder = scratch_dir(env, "run-wav-held")
    install = Installation(env, args, "run-wav-held")
    wav = make_tone(folder, "held.wav", 1.0, frequency=660)
    env.reg_add(*DEFAULT_SOUND, env.winpath(make_tone(folder, "default.wav", 2.0, frequency=880)))
    holder = env.start(env.probe_exe, ["hold-file", env.winpath(wav), 600000])
    try:
        holder.wait_output(r"held", 30)
        install.configure(2, 0, wav)
        run = Run(env, install, "/s")
        run.play_for(3.0)
        run.end_with_key()
        level = run.sound.level(run.renderer_up, run.ended)
        _, heard = run.sound.tone(run.renderer_up, run.ended)
        print(f"     level while running {level:.4f}, {heard:.2f} s of sound", flush=True)
        expect(heard == 0 and level < 0.005,
               f"{heard:.2f} s of sound (level {level:.3f}) for a WAV that cannot be opened")
        expect_close_step(run.frontend, WAV_REFUSED_STOPPED)
    finally:
        holder.kill()
        env.reg_delete(*DEFAULT_SOUND)


def check_other_file_types_play_nothing(env, args):
    install = Installation(env, args, "run-mid")
    midi = os.path.join(scratch_dir(env, "run-mid"), "song.mid")
    with open(midi, "wb") as f:
        f.write(b"MThd\0\0\0\x06\0\0\0\x01\0\x60")
    install.configure(2, 0, midi)
    run = Run(env, install, "/s")
    run.play_for(1.5)
    run.end_with_key()
    expect(run.commands == [], f"a .mid file sent MCI commands: {run.commands}")
    expect(run.sound.level(run.renderer_up, run.ended) < 0.005, "something played for a .mid file")


def check_cd_without_drive_stops_polling(env, args):
    install = Installation(env, args, "run-cd")
    install.configure(1, 3)
    run = Run(env, install, "/s")
    run.play_for(1.5)  # several poll intervals
    run.end_with_key()
    # Wine's winmm auto-opens a device it cannot find open ("open cdaudio wait");
    # those calls are its own, not the front end's.
    ours = [c for c in run.commands if c != "open cdaudio wait"]
    expect(ours == ["open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"],
           f"CD commands without a drive: {run.commands}")


def check_close_request_stops_music_and_leaves_the_renderer(env, args):
    install = Installation(env, args, "run-close")
    install.configure(2, 0, make_tone(scratch_dir(env, "run-close"), "tone.mp3", 10))
    run = Run(env, install, "/s")
    run.play_for(1.5)
    env.post(run.saver_run.hwnd, WM_CLOSE)
    run.finish()
    expect(run.sound.level(run.renderer_up + 0.5, run.renderer_up + 1.4) > 0.05, "the MP3 was not playing")
    expect(run.sound.level(run.ended + 0.3, run.ended + 1.1) < 0.005, "the music goes on after the close")
    expect_close_step(run.frontend, MP3_STOPPED)
    expect(env.find_window(RENDERER_TITLE) is not None, "the renderer went with the front end")
    env.key("space")
    env.wait_window_gone(RENDERER_TITLE, timeout=10)


def check_renderer_killed_ends_the_run(env, args):
    install = Installation(env, args, "run-kill")
    install.configure(2, 0, make_tone(scratch_dir(env, "run-kill"), "tone.mp3", 10))
    run = Run(env, install, "/s")
    run.play_for(1.0)
    rc, _ = env.probe("terminate", run.renderer.pid)
    expect(rc == 0, "could not end the renderer from outside")
    killed = run.now()
    run.finish()
    expect(run.ended - killed < 1.0, f"the front end took {run.ended - killed:.2f} s to notice")
    expect(run.sound.level(run.ended + 0.3, run.ended + 1.1) < 0.005, "the music goes on after the run")
    expect_close_step(run.frontend, MP3_STOPPED)


def check_a_renderer_slow_to_start_leaves_the_front_end_answering(env, args):
    """A renderer that shows its window only after 3 s: meanwhile the hidden
    saver window answers other programs at once and the music plays; then
    the run goes on as usual and ends with the renderer."""
    install = Installation(env, args, "run-late", with_renderer=False)
    shutil.copy2(windows_binary(args, LATE_RENDERER), os.path.join(install.folder, NAMES.rendererFile))
    install.configure(2, 0, make_tone(scratch_dir(env, "run-late"), "tone.mp3", 10))
    expect_no_window(env, RENDERER_TITLE, "before the run")
    try:
        park_cursor(env)
        env.record_start()
        started = time.monotonic()
        frontend = install.start("/s", winedebug=CLOSE_TRACE)
        saver_run = env.wait_window(SAVER_RUN_TITLE, timeout=10, visible=False)
        answers = []
        while env.find_window(RENDERER_TITLE) is None:
            expect(time.monotonic() - started < 10, "the stand-in renderer never showed its window")
            expect(frontend.alive(), "the front end ended while the renderer was starting")
            rc, out = env.probe("answers", saver_run.hwnd, ANSWER_WITHIN_MS)
            expect(rc == 0, f"the saver window did not answer within {ANSWER_WITHIN_MS} ms ({out.strip()})")
            answers.append(float(out))
        shown = time.monotonic() - started
        print(f"     the renderer showed its window after {shown:.1f} s; {len(answers)} answers, "
              f"the slowest in {max(answers, default=0):.0f} ms", flush=True)
        expect(len(answers) >= 3, f"only {len(answers)} questions fitted before the renderer's window")
        common.winenv.poll(lambda: env.recorded_seconds() >= shown + 1.5, 10, what="music beside the renderer")
        expect(frontend.alive(), "the front end did not go on once the renderer was up")
        env.close_window(env.find_window(RENDERER_TITLE).hwnd)
        rc = frontend.wait(10)
        expect(rc == 0, f"the front end ended with {rc}")
        ended = time.monotonic() - started
        common.winenv.poll(lambda: env.recorded_seconds() >= ended + 0.5, 10, what="the tail recording")
        sound = Recording(env.record_stop())
        waiting = sound.level(1.5, shown)
        expect(waiting > 0.05, f"no music while the renderer was starting (level {waiting:.3f})")
        expect(sound.level(shown, shown + 1.5) > 0.05, "no music once the renderer was up")
        expect_close_step(frontend, MP3_STOPPED)
    finally:
        # The stand-in is the front end's child, which the harness does not know.
        left = env.find_window(RENDERER_TITLE)
        if left is not None:
            env.probe("terminate", left.pid)


if __name__ == "__main__":
    common.run_checks([
        check_mp3_plays_repeats_and_stops,
        check_wav_loops_without_a_timer,
        check_a_wav_that_cannot_be_opened_plays_no_default_sound,
        check_other_file_types_play_nothing,
        check_cd_without_drive_stops_polling,
        check_close_request_stops_music_and_leaves_the_renderer,
        check_renderer_killed_ends_the_run,
        check_a_renderer_slow_to_start_leaves_the_front_end_answering,
    ], __doc__)
