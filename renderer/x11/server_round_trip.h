#pragma once

#include "x11/stop_signals.h"

#include <X11/Xlib.h>

namespace solvane {

// A round trip to the X server that waits for the stop signals too, where
// XSync would wait for the server alone: a 1x1 pixmap copied onto itself
// with graphics exposures on, which the server always answers with a
// NoExpose event.
class ServerRoundTrip {
public:
    ServerRoundTrip(Display* display, StopSignals& stop);
    ~ServerRoundTrip();
    ServerRoundTrip(const ServerRoundTrip&) = delete;
    ServerRoundTrip& operator=(const ServerRoundTrip&) = delete;

    // Until the server has handled every request sent before; false when a
    // stop signal came first.
    bool wait();

private:
    Display* display_;
    StopSignals& stop_;
    Pixmap pixmap_ = 0;
    GC gc_ = nullptr;
};

} // namespace solvane
