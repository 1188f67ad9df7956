#pragma once

#include "music/file_kinds.h"
#include "music/music_timers.h"
#include "settings/music_settings.h"

#include <optional>

namespace solvane {

// What a saver run plays, decided once from the music settings.
struct MusicChoice {
    enum class Source { Nothing, Cd, File };

    Source source = Source::Nothing;
    const FileKind* file = nullptr;  // for Source::File
    std::optional<MusicTimer> timer; // the saver window's timer that keeps it going
};

// BGM_Kind 1 is the audio CD, polled by Timer2; 2 a file of one of the known
// kinds; any other kind, and a file of no known kind, plays nothing.
MusicChoice chooseMusic(const MusicSettings& settings);

} // namespace solvane
