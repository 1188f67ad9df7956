#pragma once

#include "scene/scene.h"
#include "x11/frame_probe.h"
#include "x11/stop_signals.h"
#include "x11/target.h"

#include <chrono>

namespace solvane {

// The scene's clock and buffer swap on a GLX window.
class GlxPlatform : public FramePlatform {
public:
    GlxPlatform(Display* display, const Target& target, FrameProbe& probe, StopSignals& stop);

    std::uint32_t timeMillis() override;
    void swapBuffers() override;

private:
    Display* display_;
    const Target& target_;
    FrameProbe& probe_;
    StopSignals& stop_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace solvane
