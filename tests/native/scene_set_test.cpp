// Several scenes in one offscreen GL context, as on a screen of several
// monitors: each one's picture is that of a scene alone in a window of its
// size, nothing of it reaches the others, and the rest stays black.
#include "offscreen/offscreen_context.h"
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace solvane {
namespace {

constexpr int frames = 8;
constexpr std::uint32_t stepMillis = 40;

// The part of a picture inside a rectangle counted from the top left.
std::vector<std::uint8_t> cut(const RgbImage& image, const PixelRect& r) {
    std::vector<std::uint8_t> part;
    for (int y = r.top; y < r.bottom; ++y) {
        part.insert(part.end(), image.at(r.left, y), image.at(r.left, y) + static_cast<std::size_t>(r.width()) * 3);
    }
    return part;
}

long litBytes(const std::vector<std::uint8_t>& rgb) {
    return std::count_if(rgb.begin(), rgb.end(), [](std::uint8_t b) { return b > 24; });
}

// A scene alone in a context of its own size, after the same frames. Its
// context becomes the current one: call it before making another.
RgbImage renderAlone(int width, int height, std::uint32_t seed) {
    OffscreenContext context(width, height);
    std::uint32_t clock = 5000;
    OffscreenPlatform platform([&clock] { return clock; });
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(seed)};
    Scene scene({0, 0, width, height}, platform, inputs);
    for (int frame = 0; frame < frames; ++frame) {
        scene.drawFrame();
        clock += stepMillis;
    }
    return context.capture();
}

class SceneSetTest : public ::testing::Test {};

TEST_F(SceneSetTest, EachViewportMatchesASceneAloneAndTeardownOfOneLeavesTheOther) {
    // A 400 x 300 monitor and a 240 x 150 one to its right, top-aligned.
    constexpr int width = 640;
    constexpr int height = 300;
    const PixelRect left{0, 0, 400, 300};
    const PixelRect right{400, 0, 640, 150};
    const RgbImage firstAlone = renderAlone(left.width(), left.height(), 11);
    const RgbImage secondAlone = renderAlone(right.width(), right.height(), 22);
    OffscreenContext context(width, height);
    ASSERT_TRUE(context.valid());
    std::uint32_t clock = 5000;
    OffscreenPlatform platform([&clock] { return clock; });
    SceneInputs firstInputs{fixedSceneSettings, SceneRandom::fromTime(11)};
    auto first = std::make_unique<Scene>(viewportOf(left, height), platform, firstInputs);
    SceneInputs secondInputs{fixedSceneSettings, SceneRandom::fromTime(22)};
    Scene second(viewportOf(right, height), platform, secondInputs);
    EXPECT_EQ(first->state().setup.feedbackSize, 256);
    EXPECT_EQ(second.state().setup.feedbackSize, 128);
    EXPECT_NE(first->state().setup.feedbackTexture, second.state().setup.feedbackTexture);

    glClear(GL_COLOR_BUFFER_BIT);
    for (int frame = 0; frame < frames; ++frame) {
        first->drawFrame();
        second.drawFrame();
        clock += stepMillis;
    }
    const RgbImage both = context.capture();
    EXPECT_EQ(cut(both, left), firstAlone.pixels);
    EXPECT_EQ(cut(both, right), secondAlone.pixels);
    EXPECT_GT(litBytes(firstAlone.pixels), static_cast<long>(firstAlone.pixels.size() / 50));
    EXPECT_GT(litBytes(secondAlone.pixels), static_cast<long>(secondAlone.pixels.size() / 50));
    EXPECT_EQ(litBytes(cut(both, {400, 150, 640, 300})), 0) << "neither scene may draw below the smaller one";

    // The other scene's texture goes with it; this one draws on unchanged.
    const GLuint firstTexture = first->state().setup.feedbackTexture;
    first.reset();
    EXPECT_FALSE(glIsTexture(firstTexture));
    EXPECT_TRUE(glIsTexture(second.state().setup.feedbackTexture));
    const std::vector<std::uint8_t> before = cut(context.capture(), right);
    second.drawFrame();
    clock += stepMillis;
    second.drawFrame();
    const std::vector<std::uint8_t> after = cut(context.capture(), right);
    EXPECT_GT(litBytes(after), static_cast<long>(after.size() / 50));
    EXPECT_NE(before, after) << "the remaining scene must keep moving";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneSetTest, UncoveredPartsStayBlackWhateverWasThere) {
    constexpr int width = 320;
    constexpr int height = 200;
    OffscreenContext context(width, height);
    ASSERT_TRUE(context.valid());
    std::uint32_t clock = 0;
    OffscreenPlatform platform([&clock] { return clock; });
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(5)};
    // Monitors left and right with a gap between them, the right one lower.
    SceneSet scenes(width, height, {{0, 0, 150, 200}, {170, 60, 320, 200}}, platform, inputs);
    ASSERT_EQ(scenes.size(), 2u);
    for (int frame = 0; frame < frames; ++frame) {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f); // what the back buffer may hold after a swap
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        scenes.drawFrame();
        clock += stepMillis;
    }
    EXPECT_EQ(platform.swaps(), frames) << "one present per frame for all scenes";
    const RgbImage picture = context.capture();
    EXPECT_EQ(litBytes(cut(picture, {150, 0, 170, 200})), 0);
    EXPECT_EQ(litBytes(cut(picture, {170, 0, 320, 60})), 0);
    EXPECT_GT(litBytes(cut(picture, {0, 0, 150, 200})), 0);
    EXPECT_GT(litBytes(cut(picture, {170, 60, 320, 200})), 0);
}

TEST_F(SceneSetTest, OneMonitorCoveringTheWindowDrawsExactlyOneSceneAlone) {
    constexpr int width = 320;
    constexpr int height = 240;
    const RgbImage alone = renderAlone(width, height, 11);
    OffscreenContext context(width, height);
    std::uint32_t clock = 5000;
    OffscreenPlatform platform([&clock] { return clock; });
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(11)};
    SceneSet scenes(width, height, {{0, 0, width, height}}, platform, inputs);
    for (int frame = 0; frame < frames; ++frame) {
        scenes.drawFrame();
        clock += stepMillis;
    }
    EXPECT_EQ(context.capture().pixels, alone.pixels);
}

} // namespace
} // namespace solvane
