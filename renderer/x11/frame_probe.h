#pragma once

#include "scene/scene.h"
#include "x11/options.h"
#include "x11/target.h"
#include "x11/x_errors.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace solvane {

// What the test and benchmark options watch and fix of the frames: a fixed
// clock, one frame written out after a count, the statistics of each layout
// and of the run, the frame rate, and an X error made on demand.
class FrameProbe {
public:
    FrameProbe(const HostOptions& options, Display* display, const XErrorJudge& errors);

    // The time the frames read when the options fix the clock.
    std::optional<std::uint32_t> fixedMillis() const;
    // Just before a frame of the given size is shown.
    void beforeSwap(int width, int height);
    // After a frame; false when the run is done.
    bool afterFrame();
    void laidOut(const Target& target, const SceneSet& scenes);
    // How frames are paced: the swap interval the driver holds (-1: it cannot
    // tell; `swapControl` the extension asked, or nullptr) and the display's rate.
    void pacing(const char* swapControl, int swapInterval, double refreshHz) const;
    // The exit status of a run that ended; the statistics say how it went.
    int finish(std::uint64_t framesPacedHere) const;

private:
    bool dumpBackBuffer(int width, int height) const;
    // Selects no input on the window the options name, if they name one.
    bool unselectWindow() const;

    const HostOptions& options_;
    Display* display_;
    const XErrorJudge& errors_;
    std::uint32_t fixedClock_ = 0;
    int frames_ = 0;
    bool dumped_ = false;
    unsigned int highestTexture_ = 0;
    std::chrono::steady_clock::time_point fpsStart_;
    int fpsFrames_ = 0;
};

} // namespace solvane
