#include "button/skin_set.h"

#include "button/button_resources.h"
#include "forms/artwork_scale.h"

namespace solvane {

namespace {

constexpr std::array<int, skinCount> skinIds{SOLVANE_SKIN_NORMAL,          SOLVANE_SKIN_HIGHLIGHT,
                                             SOLVANE_SKIN_SELECTED,        SOLVANE_SKIN_HIGHLIGHT_SELECT,
                                             SOLVANE_SKIN_PRESSED,         SOLVANE_SKIN_DISABLE};

} // namespace

SkinSet::SkinSet(HMODULE module) {
    for (int i = 0; i < skinCount; ++i) {
        // A DIB section keeps the 24-bit pixels as stored, whatever the display.
        bitmaps_[i] = static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(skinIds[i]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmaps_[i] == nullptr) {
            continue;
        }
        scaleX_[i] = artworkTwipsPerPixel;
        scaleY_[i] = artworkTwipsPerPixel;
        const SIZE onScreen = artworkSizeOnScreen(skinWidth, skinHeight);
        if (onScreen.cx != skinWidth || onScreen.cy != skinHeight) {
            if (OwnedBitmap scaled = resampledBitmap(bitmaps_[i], skinWidth, skinHeight, onScreen)) {
                DeleteObject(bitmaps_[i]);
                bitmaps_[i] = scaled.release();
                scaleX_[i] = skinWidth * artworkTwipsPerPixel / onScreen.cx;
                scaleY_[i] = skinHeight * artworkTwipsPerPixel / onScreen.cy;
            }
        }
        dcs_[i] = CreateCompatibleDC(nullptr);
        previous_[i] = SelectObject(dcs_[i], bitmaps_[i]);
    }
}

SkinSet::~SkinSet() {
    for (int i = 0; i < skinCount; ++i) {
        if (dcs_[i] != nullptr) {
            SelectObject(dcs_[i], previous_[i]);
            DeleteDC(dcs_[i]);
        }
        if (bitmaps_[i] != nullptr) {
            DeleteObject(bitmaps_[i]);
        }
    }
}

} // namespace solvane
