#pragma once

#include "scene/screen_layout.h"

#include <X11/Xlib.h>

#include <vector>

namespace solvane {

// The monitors of the screen in root-window coordinates: RandR's monitors,
// or Xinerama's screens where RandR has none; empty when neither knows.
std::vector<PixelRect> screenMonitors(Display* display, Window root);

} // namespace solvane
