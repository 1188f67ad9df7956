// Where the scenes of a window go: monitors clipped and de-duplicated, the
// uncovered rest, and the flip to GL viewports.
#include "scene/screen_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace solvane {
namespace {

// 0 for a free pixel, else how many rectangles cover it.
std::vector<int> coverage(int width, int height, const std::vector<PixelRect>& rects) {
    std::vector<int> count(static_cast<std::size_t>(width) * height, 0);
    for (const PixelRect& r : rects) {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y) {
            for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x) {
                ++count[static_cast<std::size_t>(y) * width + x];
            }
        }
    }
    return count;
}

TEST(ScreenLayoutTest, MonitorsAreClippedToTheWindowWithoutEmptyOrRepeatedOnes) {
    const std::vector<PixelRect> monitors{
        {0, 0, 1920, 1080}, {1920, 0, 3200, 720}, {0, 0, 1920, 1080}, {3200, 0, 4000, 600}, {-100, -50, 100, 50}};
    const std::vector<PixelRect> expected{{0, 0, 1920, 1080}, {1920, 0, 3200, 720}, {0, 0, 100, 50}};
    EXPECT_EQ(sceneRects(3200, 1080, monitors), expected);
}

TEST(ScreenLayoutTest, NoMonitorInsideMakesTheWholeWindowOneScene) {
    EXPECT_EQ(sceneRects(640, 480, {}), (std::vector<PixelRect>{{0, 0, 640, 480}}));
    EXPECT_EQ(sceneRects(640, 480, {{700, 0, 900, 100}}), (std::vector<PixelRect>{{0, 0, 640, 480}}));
    EXPECT_EQ(sceneRects(0, 0, {{0, 0, 10, 10}}), (std::vector<PixelRect>{{0, 0, 0, 0}}));
}

TEST(ScreenLayoutTest, OnlyTheAreaBelowTheSmallerMonitorIsUncovered) {
    const std::vector<PixelRect> rects{{0, 0, 1920, 1080}, {1920, 0, 3200, 720}};
    EXPECT_EQ(uncoveredRects(3200, 1080, rects), (std::vector<PixelRect>{{1920, 720, 3200, 1080}}));
    EXPECT_TRUE(uncoveredRects(1920, 1080, {{0, 0, 1920, 1080}}).empty());
    EXPECT_EQ(uncoveredRects(50, 40, {}), (std::vector<PixelRect>{{0, 0, 50, 40}}));
}

TEST(ScreenLayoutTest, UncoveredAndCoveredTileTheWindowExactlyForAnyLayout) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-20, 140);
    for (int round = 0; round < 300; ++round) {
        const int width = 120;
        const int height = 90;
        std::vector<PixelRect> rects;
        for (int n = static_cast<int>(random() % 5); n > 0; --n) {
            const int x0 = coordinate(random);
            const int y0 = coordinate(random);
            rects.push_back({x0, y0, x0 + coordinate(random) / 2, y0 + coordinate(random) / 2});
        }
        const std::vector<PixelRect> free = uncoveredRects(width, height, rects);
        const std::vector<int> covered = coverage(width, height, rects);
        const std::vector<int> cleared = coverage(width, height, free);
        for (std::size_t i = 0; i < covered.size(); ++i) {
            ASSERT_EQ(cleared[i], covered[i] == 0 ? 1 : 0) << "round " << round << ", pixel " << i;
        }
        for (const PixelRect& r : free) {
            EXPECT_FALSE(r.empty());
        }
    }
}

TEST(ScreenLayoutTest, ViewportsCountFromTheLowerLeft) {
    EXPECT_EQ(viewportOf({0, 0, 1920, 1080}, 1080), (Viewport{0, 0, 1920, 1080}));
    EXPECT_EQ(viewportOf({1920, 0, 3200, 720}, 1080), (Viewport{1920, 360, 1280, 720}));
    EXPECT_EQ(viewportOf({100, 200, 300, 250}, 400), (Viewport{100, 150, 200, 50}));
}

} // namespace
} // namespace solvane
