#pragma once

#include <cstdint>
#include <string>

namespace solvane {

// The three music settings: loaded from the settings file, edited by the
// settings dialog, acted on by the saver run.
struct MusicSettings {
    std::int16_t BGM_Kind = 0;  // 0 none, 1 audio CD, 2 music file; others play nothing
    std::int16_t BGM_Track = 0; // CD track to repeat, 0 for none
    std::wstring BGM_File;      // full path; its last three letters pick MP3 or WAV
};

MusicSettings& musicSettings();

// Result of the latest PollCd: true (-1) to keep polling, false (0) once a
// poll has failed.
std::int16_t CD_PollOn();

} // namespace solvane
