#pragma once

#include <cstring>

namespace solvane {

// Whether a GL extension list (names apart by blanks) names `name` whole: a
// name that only starts another, as "GLX_EXT_swap_control" starts
// "GLX_EXT_swap_control_tear", does not count.
inline bool extensionListed(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    if (list == nullptr || length == 0) {
        return false;
    }
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + length, name)) {
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

} // namespace solvane
