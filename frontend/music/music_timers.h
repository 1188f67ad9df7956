#pragma once

#include <cstdint>

namespace solvane {

// A timer of the saver window that keeps the music going: its id on that
// window and its interval in milliseconds.
struct MusicTimer {
    std::uintptr_t id;
    unsigned interval;

    bool operator==(const MusicTimer&) const = default;
};

// Restarts a file played through MCI once it has stopped.
inline constexpr MusicTimer Timer1{1, 1000};
// Polls the audio CD and keeps its track repeat.
inline constexpr MusicTimer Timer2{2, 200};

} // namespace solvane
