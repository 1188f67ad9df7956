#include "twips.h"

#include <windows.h>

namespace solvane {

namespace {

constexpr double twipsPerInch = 1440.0;

double twipsPerPixel(int axis) {
    HDC screen = GetDC(nullptr);
    const int perInch = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return perInch > 0 ? twipsPerInch / perInch : 15.0;
}

} // namespace

double twipsPerPixelX() { return twipsPerPixel(LOGPIXELSX); }
double twipsPerPixelY() { return twipsPerPixel(LOGPIXELSY); }

} // namespace solvane
