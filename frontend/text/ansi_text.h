#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace solvane {

// The front end keeps text wide; the narrow platform calls get it in the
// system's ANSI code page, and what comes back is cut at its first NUL.
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view bytes);

// The text in the code page only when every character has its own mapping
// (no best fit, no default character) and it converts back unchanged.
std::optional<std::string> toAnsiExactly(std::wstring_view text);

// A narrow buffer as the platform left it: text up to the first NUL (or the
// whole buffer when it holds none).
std::wstring fromAnsiBuffer(const char* buffer, std::size_t size);

} // namespace solvane
