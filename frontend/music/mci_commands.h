#pragma once

#include "music/music_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace solvane {

// One MCI command with its reply in the state's general reply buffer: returns
// 0 and the reply text, or the error code and the platform's text for it. An
// empty command returns -1 without reaching the platform.
std::int32_t SendMci(MusicState& state, std::wstring_view command, std::wstring& text);

// The reply of a command, or "Error:" followed by the code.
std::wstring QueryMci(MusicState& state, std::wstring_view command);

// "play " + device, with " from " + from and " to " + to where given.
std::int32_t PlayMci(MusicState& state, std::wstring_view device, std::wstring_view from, std::wstring_view to);

} // namespace solvane
