#pragma once

#include "scene/frame_platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace solvane {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rows top to bottom, RGB bytes

    const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// A Mesa offscreen GL context with a single colour buffer of a given size.
class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool valid() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The colour buffer as a person would see it (top row first).
    RgbImage capture() const;

private:
    void* context_ = nullptr;
    int width_;
    int height_;
    std::vector<std::uint8_t> buffer_;
};

// Frame platform for the offscreen host: a replaceable millisecond clock
// (the steady clock by default) and a swap that waits for the GL to finish.
class OffscreenPlatform : public FramePlatform {
public:
    OffscreenPlatform();
    explicit OffscreenPlatform(std::function<std::uint32_t()> clock);

    std::uint32_t timeMillis() override { return clock_(); }
    void swapBuffers() override;

    int swaps() const { return swaps_; }

private:
    std::function<std::uint32_t()> clock_;
    int swaps_ = 0;
};

} // namespace solvane
