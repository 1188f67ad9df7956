#pragma once

#include "scene/screen_layout.h"

#include <X11/Xlib.h>

#include <vector>

namespace solvane {

// The monitors of the screen in root-window coordinates: RandR's monitors,
// or Xinerama's screens where RandR has none; empty when neither knows.
std::vector<PixelRect> screenMonitors(Display* display, Window root);

// The highest refresh rate, in Hz, of the RandR outputs that show any of
// `area` (root-window coordinates); 0 where the server reports none (Xvfb's
// modes have no clock).
double displayRefreshHz(Display* display, Window root, const PixelRect& area);

} // namespace solvane
