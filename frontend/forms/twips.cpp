#include "forms/twips.h"

#include "forms/gdi.h"
#include "winutils/system_function.h"

#include <cmath>

namespace solvane {

namespace {

constexpr double twipsPerInch = layout::twipsPerInch;

} // namespace

double TwipsScale::twipsPerPixelX() const { return twipsPerInch / dpiX_; }
double TwipsScale::twipsPerPixelY() const { return twipsPerInch / dpiY_; }
int TwipsScale::pixelsX(double twips) const { return static_cast<int>(std::lround(twips / twipsPerPixelX())); }
int TwipsScale::pixelsY(double twips) const { return static_cast<int>(std::lround(twips / twipsPerPixelY())); }

TwipsScale screenScale() {
    const WindowDc screen;
    return screen ? TwipsScale(GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY))
                  : TwipsScale();
}

TwipsScale windowScale(HWND window) {
    // Windows 10 1607 and later; older systems have one dots-per-inch value.
    static const auto dpiFor = systemFunction<decltype(GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
    if (dpiFor != nullptr && window != nullptr) {
        if (const int dpi = static_cast<int>(dpiFor(window)); dpi > 0) {
            return {dpi, dpi};
        }
    }
    return screenScale();
}

} // namespace solvane
