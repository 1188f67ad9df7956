#pragma once

#include "text/ansi_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace solvane {

// The music file's path as the platform will read it, or nothing when that
// would differ from the file meant: an embedded NUL ends the text early, and
// for the MCI (which takes the path in double quotes) a double quote would
// end the path and let the rest act as command words. The check is made on
// the narrow text, since the code page may map other characters (fullwidth
// quotes) onto a plain double quote. Windows file names hold neither.
inline std::optional<std::string> platformPath(std::wstring_view path, bool quoted) {
    std::string narrow = toAnsi(path);
    const std::string_view refused = quoted ? std::string_view("\0\"", 2) : std::string_view("\0", 1);
    if (narrow.find_first_of(refused) != std::string::npos) {
        return std::nullopt;
    }
    return narrow;
}

} // namespace solvane
