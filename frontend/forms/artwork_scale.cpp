#include "artwork_scale.h"

#include "twips.h"

#include <cmath>

namespace solvane {

SIZE artworkSizeOnScreen(int width, int height) {
    return {static_cast<LONG>(std::lround(width * artworkTwipsPerPixel / twipsPerPixelX())),
            static_cast<LONG>(std::lround(height * artworkTwipsPerPixel / twipsPerPixelY()))};
}

OwnedBitmap resampledBitmap(HBITMAP source, int width, int height, SIZE size) {
    if (source == nullptr || width <= 0 || height <= 0 || size.cx <= 0 || size.cy <= 0) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    bool drawn = false;
    if (target && from != nullptr && to != nullptr) {
        HGDIOBJ previousFrom = SelectObject(from, source);
        HGDIOBJ previousTo = SelectObject(to, target.get());
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        drawn = StretchBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, width, height, SRCCOPY) != FALSE;
        SelectObject(to, previousTo);
        SelectObject(from, previousFrom);
    }
    if (to != nullptr) {
        DeleteDC(to);
    }
    if (from != nullptr) {
        DeleteDC(from);
    }
    return drawn ? std::move(target) : OwnedBitmap();
}

} // namespace solvane
