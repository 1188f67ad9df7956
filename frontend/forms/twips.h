#pragma once

namespace solvane {

// The screen's logical pixels per inch on an axis (LOGPIXELSX or
// LOGPIXELSY); 0 when the screen cannot be asked.
int screenPixelsPerInch(int axis);

// The screen's twips per pixel on each axis (1440 / logical pixels per inch:
// 15 at 96 dpi), read anew at each use as the display may change.
double twipsPerPixelX();
double twipsPerPixelY();

// Twips as the nearest whole screen pixels on each axis.
int pixelsX(double twips);
int pixelsY(double twips);

} // namespace solvane
