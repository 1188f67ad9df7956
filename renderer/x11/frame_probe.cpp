#include "x11/frame_probe.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace solvane {

namespace {

// Texture names GL still knows among those up to `highest`.
int liveTextures(unsigned int highest) {
    int live = 0;
    for (unsigned int name = 1; name <= highest; ++name) {
        live += glIsTexture(name) ? 1 : 0;
    }
    return live;
}

} // namespace

FrameProbe::FrameProbe(const HostOptions& options, Display* display, const XErrorJudge& errors)
    : options_(options), display_(display), errors_(errors), fpsStart_(std::chrono::steady_clock::now()) {}

std::optional<std::uint32_t> FrameProbe::fixedMillis() const {
    if (options_.stepMillis) {
        return fixedClock_;
    }
    return std::nullopt;
}

void FrameProbe::beforeSwap(int width, int height) {
    ++frames_;
    if (options_.dumpAfter > 0 && frames_ == options_.dumpAfter) {
        dumped_ = dumpBackBuffer(width, height);
    }
}

bool FrameProbe::afterFrame() {
    unselectWindow();
    if (options_.stepMillis) {
        fixedClock_ += *options_.stepMillis;
    }
    if (options_.dumpAfter > 0 && frames_ >= options_.dumpAfter) {
        return false;
    }
    ++fpsFrames_;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - fpsStart_).count();
    if (options_.showFps && seconds >= 1.0) {
        std::fprintf(stderr, "solvane: %.1f fps\n", fpsFrames_ / seconds);
        fpsFrames_ = 0;
        fpsStart_ = now;
    }
    return true;
}

void FrameProbe::laidOut(const Target& target, const SceneSet& scenes) {
    // In force on the server before the layout is reported.
    if (unselectWindow()) {
        XSync(display_, False);
    }
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        highestTexture_ = std::max(highestTexture_, scenes.scene(i).state().setup.feedbackTexture);
    }
    if (options_.stats) {
        std::fprintf(stderr, "solvane: %dx%d, %zu scenes, %d textures\n", target.width, target.height, scenes.size(),
                     liveTextures(highestTexture_));
    }
}

bool FrameProbe::unselectWindow() const {
    if (options_.unselectWindow) {
        XSelectInput(display_, *options_.unselectWindow, NoEventMask);
    }
    return options_.unselectWindow.has_value();
}

void FrameProbe::pacing(const char* swapControl, int swapInterval, double refreshHz) const {
    if (options_.stats) {
        std::fprintf(stderr, "solvane: swap interval %d (%s), display %.2f Hz\n", swapInterval,
                     swapControl != nullptr ? swapControl : "no swap control", refreshHz);
    }
}

int FrameProbe::finish(std::uint64_t framesPacedHere) const {
    if (options_.stats) {
        std::fprintf(stderr, "solvane: ended after %d frames (%llu paced by the program), %lu X errors ignored\n",
                     frames_, static_cast<unsigned long long>(framesPacedHere), errors_.ignored());
    }
    return options_.dumpAfter > 0 && frames_ >= options_.dumpAfter && !dumped_ ? 1 : 0;
}

bool FrameProbe::dumpBackBuffer(int width, int height) const {
    std::vector<unsigned char> rows(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    std::FILE* file = std::fopen(options_.dumpPath.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    bool complete = true;
    for (int y = height - 1; y >= 0; --y) {
        complete = complete && std::fwrite(&rows[static_cast<std::size_t>(y) * row], 1, row, file) == row;
    }
    return std::fclose(file) == 0 && complete;
}

} // namespace solvane
