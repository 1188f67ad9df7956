#include "twips.h"

#include "gdi.h"

#include <cmath>

namespace solvane {

namespace {

constexpr double twipsPerInch = 1440.0;

double twipsPerPixel(int axis) {
    const int perInch = screenPixelsPerInch(axis);
    return perInch > 0 ? twipsPerInch / perInch : 15.0;
}

} // namespace

int screenPixelsPerInch(int axis) {
    const WindowDc screen;
    return screen ? GetDeviceCaps(screen.get(), axis) : 0;
}

double twipsPerPixelX() { return twipsPerPixel(LOGPIXELSX); }
double twipsPerPixelY() { return twipsPerPixel(LOGPIXELSY); }

int pixelsX(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixelX())); }
int pixelsY(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixelY())); }

} // namespace solvane
