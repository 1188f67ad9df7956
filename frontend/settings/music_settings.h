#pragma once

#include <cstdint>
#include <string>

namespace solvane {

// The three music settings: loaded from the settings file at start-up, then
// given to the settings dialog, which edits and saves them, or to the saver
// run, which plays them.
struct MusicSettings {
    std::int16_t BGM_Kind = 0;  // 0 none, 1 audio CD, 2 music file; others play nothing
    std::int16_t BGM_Track = 0; // CD track to repeat, 0 for none
    std::wstring BGM_File;      // full path; its last three letters pick its kind of file
};

} // namespace solvane
