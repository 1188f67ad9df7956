#pragma once

#include "scene/screen_layout.h"

#include <windows.h>

#include <vector>

namespace solvane {

// The monitors in the window's client coordinates (pixels from its top left).
std::vector<PixelRect> monitorRects(HWND window);

// The highest refresh rate of the monitors the window covers, in Hz; 0 where
// the system reports none.
double displayRefreshHz(HWND window);

} // namespace solvane
