#pragma once

#include <cstdint>
#include <vector>

namespace solvane {

// A rectangle of a window in pixels, origin at the top left, as platforms
// report monitors; right and bottom are exclusive.
struct PixelRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect&) const = default;
};

// A GL viewport: origin at the lower left of the window.
struct Viewport {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Viewport&) const = default;
};

// Where the scenes of a window go: the monitors clipped to the window, in
// the order given, without empty or repeated ones (mirrored outputs report
// the same rectangle). With none left, the whole window is one scene.
std::vector<PixelRect> sceneRects(std::int32_t windowWidth, std::int32_t windowHeight,
                                  const std::vector<PixelRect>& monitors);

// The parts of the window no rectangle covers, as disjoint rectangles.
std::vector<PixelRect> uncoveredRects(std::int32_t windowWidth, std::int32_t windowHeight,
                                      const std::vector<PixelRect>& covered);

// The viewport of a window rectangle in a window of the given height.
Viewport viewportOf(const PixelRect& rect, std::int32_t windowHeight);

} // namespace solvane
