#include "x11/glx_platform.h"

#include <GL/glx.h>

namespace solvane {

GlxPlatform::GlxPlatform(Display* display, const Target& target, FrameProbe& probe, StopSignals& stop)
    : display_(display), target_(target), probe_(probe), stop_(stop), start_(std::chrono::steady_clock::now()) {}

std::uint32_t GlxPlatform::timeMillis() {
    if (const auto fixed = probe_.fixedMillis()) {
        return *fixed;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void GlxPlatform::swapBuffers() {
    probe_.beforeSwap(target_.width, target_.height);
    // The swap puts the picture to the server and may wait for it to be
    // taken, which a stopped server or a window going away never does.
    const StopSignals::ServerWait atServer(stop_);
    glXSwapBuffers(display_, target_.window);
}

} // namespace solvane
