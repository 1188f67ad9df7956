#pragma once

#include "dialog_layout.h"

#include <windows.h>

namespace solvane {

// Twips and pixels at some logical pixels per inch on each axis.
class TwipsScale {
public:
    static constexpr int usualDpi = layout::usualDpi;

    constexpr TwipsScale() = default;
    constexpr TwipsScale(int dpiX, int dpiY) : dpiX_(dpiX > 0 ? dpiX : usualDpi), dpiY_(dpiY > 0 ? dpiY : usualDpi) {}

    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // Twips as the nearest whole pixels on each axis.
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;

    bool operator==(const TwipsScale&) const = default;

private:
    int dpiX_ = usualDpi;
    int dpiY_ = usualDpi;
};

// The screen's scale (LOGPIXELSX, LOGPIXELSY), read anew at each use as the
// display may change.
TwipsScale screenScale();

// The scale of a window: its monitor's dots per inch where the system keeps
// them per monitor (GetDpiForWindow, looked up at run time), the screen's
// elsewhere.
TwipsScale windowScale(HWND window);

} // namespace solvane
