#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace solvane {

// A stored colour: 0x00BBGGRR, or 0x800000nn for the system colour nn.
// Anything else is not a colour.
inline std::optional<COLORREF> resolveColour(std::uint32_t colour) {
    constexpr std::uint32_t systemFlag = 0x80000000u;
    constexpr std::uint32_t lastSystemColour = 30; // COLOR_MENUBAR
    if ((colour & 0xFF000000u) == 0) {
        return static_cast<COLORREF>(colour);
    }
    if ((colour & 0xFFFFFF00u) == systemFlag && (colour & 0xFFu) <= lastSystemColour) {
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    }
    return std::nullopt;
}

} // namespace solvane
