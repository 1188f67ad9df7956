#include "scene/screen_layout.h"

#include <algorithm>

namespace solvane {

namespace {

PixelRect clipped(const PixelRect& r, std::int32_t width, std::int32_t height) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
}

bool covers(const std::vector<PixelRect>& rects, std::int32_t x, std::int32_t y) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const PixelRect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

// The distinct edges of the window and of the rectangles along one axis.
std::vector<std::int32_t> edges(std::int32_t extent, const std::vector<PixelRect>& rects, bool horizontal) {
    std::vector<std::int32_t> cuts{0, extent};
    for (const PixelRect& r : rects) {
        cuts.push_back(horizontal ? r.left : r.top);
        cuts.push_back(horizontal ? r.right : r.bottom);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

} // namespace

std::vector<PixelRect> sceneRects(std::int32_t windowWidth, std::int32_t windowHeight,
                                  const std::vector<PixelRect>& monitors) {
    std::vector<PixelRect> rects;
    for (const PixelRect& monitor : monitors) {
        const PixelRect r = clipped(monitor, windowWidth, windowHeight);
        if (!r.empty() && std::find(rects.begin(), rects.end(), r) == rects.end()) {
            rects.push_back(r);
        }
    }
    if (rects.empty()) {
        rects.push_back({0, 0, std::max(windowWidth, 0), std::max(windowHeight, 0)});
    }
    return rects;
}

std::vector<PixelRect> uncoveredRects(std::int32_t windowWidth, std::int32_t windowHeight,
                                      const std::vector<PixelRect>& covered) {
    std::vector<PixelRect> inside;
    for (const PixelRect& r : covered) {
        const PixelRect c = clipped(r, windowWidth, windowHeight);
        if (!c.empty()) {
            inside.push_back(c);
        }
    }
    // Every edge cuts the window into cells that are either wholly covered
    // or wholly free; free cells next to each other in a band are merged.
    const std::vector<std::int32_t> xs = edges(windowWidth, inside, true);
    const std::vector<std::int32_t> ys = edges(windowHeight, inside, false);
    std::vector<PixelRect> free;
    for (std::size_t row = 0; row + 1 < ys.size(); ++row) {
        const std::int32_t top = ys[row];
        const std::int32_t bottom = ys[row + 1];
        if (top < 0 || bottom > windowHeight || top >= bottom) {
            continue;
        }
        for (std::size_t col = 0; col + 1 < xs.size(); ++col) {
            const std::int32_t left = xs[col];
            const std::int32_t right = xs[col + 1];
            if (left < 0 || right > windowWidth || left >= right || covers(inside, left, top)) {
                continue;
            }
            if (!free.empty() && free.back().top == top && free.back().right == left) {
                free.back().right = right;
            } else {
                free.push_back({left, top, right, bottom});
            }
        }
    }
    return free;
}

Viewport viewportOf(const PixelRect& rect, std::int32_t windowHeight) {
    return {rect.left, windowHeight - rect.bottom, rect.width(), rect.height()};
}

} // namespace solvane
