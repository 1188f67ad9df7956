#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace solvane {

// The arguments after the program's own path, without the blanks between.
std::wstring argumentsOf(std::wstring_view commandLine);

// Character 2 of the upper-cased arguments; empty when there are fewer than 2.
std::wstring requestLetter(std::wstring_view arguments);

// The preview host's handle: the arguments from character 4 read as a
// decimal number, blanks, tabs and line feeds ignored wherever they stand,
// rounded half to even; 0 when there is no number or it leaves 32 bits.
std::int32_t hostHandleOf(std::wstring_view arguments);

} // namespace solvane
