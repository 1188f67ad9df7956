#pragma once

#include <string>
#include <string_view>

namespace solvane {

// The message that tells the user the settings were not saved: the file,
// the reason in Japanese like the rest of the dialog, and what to do next.
// `error` is the platform's code for the failed write, 0 when the values
// read back from the file differed from the choice.
std::wstring saveFailureMessage(std::wstring_view filePath, unsigned long error);

} // namespace solvane
