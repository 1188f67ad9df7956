#pragma once

#include "rules/text_rules.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace solvane {

// The paths this program file goes by: as the platform reports it, and its
// long and short forms.
std::vector<std::wstring> ownProgramPaths();

// The arguments after the program's own path, without the blanks between;
// the path is recognised in any letter case.
std::wstring argumentsOf(std::wstring_view commandLine, std::span<const std::wstring> ownPaths);
std::wstring argumentsOf(std::wstring_view commandLine);

// Character 2 of the upper-cased arguments; empty when there are fewer than 2.
std::wstring requestLetter(std::wstring_view arguments);

} // namespace solvane
