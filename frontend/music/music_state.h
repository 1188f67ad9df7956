#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace solvane {

inline constexpr std::int16_t flagTrue = -1;
inline constexpr std::int16_t flagFalse = 0;

// The music player's whole state. The fixed buffers live for the run and keep
// whatever the platform left in them, older tails included, so every reader
// cuts at the first NUL or looks at a fixed prefix only.
struct MusicState {
    std::int16_t CD_PollOn = flagFalse;
    char generalReply[512] = {};
    char errorText[256] = {};
    char cdMode[256] = {};
    char fileMode[30] = {};
    // Handed to the file commands that want no reply (with length 0).
    char dummyReply[2] = "0";
    std::wstring lastReplyText;
};

// One less than the buffer: the mode query never writes its last character.
inline constexpr UINT cdModeLength = sizeof MusicState::cdMode - 1;

// Replies compared with a word look at this many leading characters.
inline constexpr std::size_t modeWordLength = 7;

} // namespace solvane
