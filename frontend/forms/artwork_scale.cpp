#include "forms/artwork_scale.h"

namespace solvane {

SIZE artworkSize(int width, int height, const TwipsScale& scale) {
    return {scale.pixelsX(width * artworkTwipsPerPixel), scale.pixelsY(height * artworkTwipsPerPixel)};
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
    const MemoryDc from(nullptr);
    const MemoryDc to(nullptr);
    if (!target || !from || !to) {
        return {};
    }
    const Selection sourceSelected(from.get(), source);
    const Selection targetSelected(to.get(), target.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    const bool drawn = StretchBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, width, height, SRCCOPY) != FALSE;
    return drawn ? std::move(target) : OwnedBitmap();
}

} // namespace solvane
