#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace solvane {

// The front end's process-wide start-up state.
struct StartupState {
    std::wstring arguments;      // the command-line arguments, unaltered
    std::int32_t Cursor_Count = 0; // display count from hiding the cursor for "S"
};

StartupState& startupState();

// Runs the start-up for the given arguments. Returns true when a window was
// opened whose message loop now carries the process; false when the process
// is to end.
bool runStartup(std::wstring_view arguments);

inline constexpr wchar_t missingRendererMessage[] =
    L"Solvane.dll が Solvane.scr と同じﾌｫﾙﾀﾞに見つかりません！";
inline constexpr wchar_t applicationTitle[] = L"Solvane";

} // namespace solvane
