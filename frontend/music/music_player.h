#pragma once

#include "music/music_settings.h"

namespace solvane {

// Audio CD on the device "cdaudio". OpenCd does not start playback; the first
// PollCd that finds the drive stopped (or on another track than the one to
// repeat) does.
void OpenCd();
void PollCd();
void CloseCd();

// An MP3 file under the alias "MP3Play".
void OpenAndPlayFile();
bool IsFilePlaying();
void RepeatFile();
void CloseFile();

// A WAV file looping in the platform's sound player.
void PlayWave();
void StopWave();

} // namespace solvane
