#include "offscreen/offscreen_context.h"

#include <GL/osmesa.h>

#include <chrono>
#include <cstring>

namespace solvane {

OffscreenContext::OffscreenContext(int width, int height)
    : width_(width), height_(height), buffer_(static_cast<std::size_t>(width) * height * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (context == nullptr) {
        return;
    }
    if (!OSMesaMakeCurrent(context, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        return;
    }
    context_ = context;
}

OffscreenContext::~OffscreenContext() {
    if (context_ != nullptr) {
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

RgbImage OffscreenContext::capture() const {
    RgbImage image;
    image.width = width_;
    image.height = height_;
    image.pixels.resize(static_cast<std::size_t>(width_) * height_ * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<std::uint8_t> bottomUp(image.pixels.size());
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const std::size_t row = static_cast<std::size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) {
        std::memcpy(&image.pixels[static_cast<std::size_t>(y) * row],
                    &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * row], row);
    }
    return image;
}

OffscreenPlatform::OffscreenPlatform()
    : clock_([start = std::chrono::steady_clock::now()] {
          const auto elapsed = std::chrono::steady_clock::now() - start;
          return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
      }) {}

OffscreenPlatform::OffscreenPlatform(std::function<std::uint32_t()> clock) : clock_(std::move(clock)) {}

void OffscreenPlatform::swapBuffers() {
    glFinish();
    ++swaps_;
}

} // namespace solvane
