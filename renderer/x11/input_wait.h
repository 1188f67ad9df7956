#pragma once

#include "x11/stop_signals.h"

#include <X11/Xlib.h>

#include <cstdint>

namespace solvane {

// Waits until an X event or a stop signal comes, or `micros` have passed,
// whichever is first; events already read return at once.
void waitForInput(Display* display, StopSignals& stop, std::int64_t micros);

} // namespace solvane
