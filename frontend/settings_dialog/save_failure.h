#pragma once

#include "settings/settings_file.h"

#include <string>
#include <string_view>

namespace solvane {

// The message that tells the user the settings were not saved: the file,
// the reason in Japanese like the rest of the dialog, and what to do next,
// which depends on the cause.
std::wstring saveFailureMessage(std::wstring_view filePath, const SaveResult& result);

// The message for a music file chosen whose path the narrow calls cannot be
// given in any form: it could never be saved or played.
std::wstring unusableMusicFileMessage(std::wstring_view file);

} // namespace solvane
