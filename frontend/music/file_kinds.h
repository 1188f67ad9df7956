#pragma once

#include "music/music_timers.h"

#include <optional>
#include <string>
#include <string_view>

namespace solvane {

// How a music file is played.
enum class FilePlayback {
    Mci,       // opened through MCI under the alias "MP3Play", played, closed at the end
    SoundLoop, // looped by the platform's sound player until stopped
};

// A kind of music file the saver plays, known by the last three characters
// of the file's name.
struct FileKind {
    std::wstring_view ending; // upper case
    FilePlayback playback;
    std::optional<MusicTimer> timer; // the tick that keeps it playing, if it needs one
};

// Every kind, in the order the settings dialog names them.
inline constexpr FileKind fileKinds[] = {
    {L"MP3", FilePlayback::Mci, Timer1},
    {L"WAV", FilePlayback::SoundLoop, std::nullopt},
};

// The kind named by the file's last three characters, in any letter case;
// nullptr for a file of any other kind.
const FileKind* fileKindOf(std::wstring_view file);

// The settings dialog's file chooser filter: its name, then the patterns,
// each ended by a NUL.
std::wstring fileKindFilter();

// The settings dialog's name for the music file option.
std::wstring fileKindLabel();

} // namespace solvane
