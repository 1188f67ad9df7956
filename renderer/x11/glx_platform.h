#pragma once

#include "frame_probe.h"
#include "scene/scene.h"
#include "stop_signals.h"
#include "target.h"

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
