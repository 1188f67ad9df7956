#pragma once

#include "music/music_state.h"

#include <cstdint>
#include <string_view>

namespace solvane {

// The background music of one saver run, played through winmm. It is given
// what to play; what it keeps is only its own state for the platform's replies.
class MusicPlayer {
public:
    // Audio CD on the device "cdaudio". OpenCd does not start playback; the
    // first PollCd that finds the drive stopped (or on another track than
    // `repeatTrack`, when that is not 0) does.
    void OpenCd();
    void PollCd(std::int16_t repeatTrack);
    void CloseCd();

    // Result of the latest PollCd: true (-1) to keep polling, false (0) once
    // a poll has failed.
    std::int16_t CD_PollOn() const { return state_.CD_PollOn; }

    // An MP3 file under the alias "MP3Play".
    void OpenAndPlayFile(std::wstring_view file);
    bool IsFilePlaying();
    void RepeatFile();
    void CloseFile();

    // A WAV file looping in the platform's sound player.
    void PlayWave(std::wstring_view file);
    void StopWave();

private:
    MusicState state_;
};

} // namespace solvane
