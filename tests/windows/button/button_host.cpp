#include "button_host.h"

#include <cstdio>

namespace solvane::test {

Picture face(const Command& command) { return Picture::of(command.surface(), command.window()); }

OwnedBitmap loadSkin(int id) {
    // A DIB section keeps the 24-bit pixels as stored, whatever the display.
    return OwnedBitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

COLORREF hex(unsigned rrggbb) { return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

std::string faceLook(const Command& command) {
    const COLORREF ring = face(command).at(20, 2);
    const struct {
        unsigned colour;
        Skin skin;
    } looks[] = {{0xF3F3EE, Skin::Normal},
                 {0xFFF0CF, command.lastSkin() == Skin::HighLightSelect ? Skin::HighLightSelect : Skin::HighLight},
                 {0xCEE7FF, Skin::Selected},
                 {0x003C74, Skin::Pressed},
                 {0xF5F4EA, Skin::Disable}};
    for (const auto& look : looks) {
        if (ring == hex(look.colour)) {
            return name(look.skin);
        }
    }
    char unknown[32];
    std::snprintf(unknown, sizeof unknown, "unknown %06lX", static_cast<unsigned long>(ring));
    return unknown;
}

const char* name(Skin skin) {
    static const char* const names[] = {"Normal", "HighLight", "Selected", "HighLightSelect", "Pressed", "Disable"};
    return names[static_cast<int>(skin)];
}

} // namespace solvane::test
