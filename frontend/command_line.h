#pragma once

#include "rules/text_rules.h"

#include <string>
#include <string_view>

namespace solvane {

// The arguments after the program's own path, without the blanks between.
std::wstring argumentsOf(std::wstring_view commandLine);

// Character 2 of the upper-cased arguments; empty when there are fewer than 2.
std::wstring requestLetter(std::wstring_view arguments);

} // namespace solvane
