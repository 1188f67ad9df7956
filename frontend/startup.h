#pragma once

#include <string_view>

namespace solvane {

// Runs the start-up for the given arguments. Returns true when a window was
// opened whose message loop now carries the process; false when the process
// is to end.
bool runStartup(std::wstring_view arguments);

inline constexpr wchar_t missingRendererMessage[] = L"Solvane.dll が Solvane.scr と同じﾌｫﾙﾀﾞに見つかりません！";

} // namespace solvane
