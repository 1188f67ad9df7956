#include "button/skin_set.h"

#include "button/button_resources.h"
#include "forms/artwork_scale.h"

namespace solvane {

namespace {

constexpr std::array<int, skinCount> skinIds{SOLVANE_SKIN_NORMAL,   SOLVANE_SKIN_HIGHLIGHT,
                                             SOLVANE_SKIN_SELECTED, SOLVANE_SKIN_HIGHLIGHT_SELECT,
                                             SOLVANE_SKIN_PRESSED,  SOLVANE_SKIN_DISABLE};

} // namespace

SkinSet::SkinSet(HMODULE module, const TwipsScale& scale) {
    for (int i = 0; i < skinCount; ++i) {
        // A DIB section keeps the 24-bit pixels as stored, whatever the display.
        OwnedBitmap bitmap(static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(skinIds[i]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (!bitmap) {
            continue;
        }
        scaleX_[i] = artworkTwipsPerPixel;
        scaleY_[i] = artworkTwipsPerPixel;
        const SIZE onScreen = artworkSize(skinWidth, skinHeight, scale);
        if (onScreen.cx != skinWidth || onScreen.cy != skinHeight) {
            if (OwnedBitmap scaled = resampledBitmap(bitmap.get(), skinWidth, skinHeight, onScreen)) {
                bitmap = std::move(scaled);
                scaleX_[i] = skinWidth * artworkTwipsPerPixel / onScreen.cx;
                scaleY_[i] = skinHeight * artworkTwipsPerPixel / onScreen.cy;
            }
        }
        skins_[i] = BitmapSurface(std::move(bitmap));
    }
}

} // namespace solvane
