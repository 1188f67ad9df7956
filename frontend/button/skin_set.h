#pragma once

#include "forms/gdi.h"
#include "forms/twips.h"

#include <windows.h>

#include <array>

namespace solvane {

// The six looks of the button's frame.
enum class Skin { Normal, HighLight, Selected, HighLightSelect, Pressed, Disable };

inline constexpr int skinCount = 6;
inline constexpr int skinWidth = 64; // pixels
inline constexpr int skinHeight = 25;

// The six skin bitmaps, loaded from the program's resources, brought to their
// physical size at the button's scale, and each kept selected into a memory
// device context ready to be copied from.
class SkinSet {
public:
    SkinSet(HMODULE module, const TwipsScale& scale);

    // Null when that skin could not be loaded.
    HDC source(Skin skin) const { return skins_[static_cast<int>(skin)].dc(); }

    // Twips per pixel of the skins as kept: the scale's, or 15 where they
    // could not be scaled.
    double twipsPerPixelX(Skin skin) const { return scaleX_[static_cast<int>(skin)]; }
    double twipsPerPixelY(Skin skin) const { return scaleY_[static_cast<int>(skin)]; }

private:
    std::array<BitmapSurface, skinCount> skins_;
    std::array<double, skinCount> scaleX_{};
    std::array<double, skinCount> scaleY_{};
};

} // namespace solvane
