// The two-pass frame on Mesa's offscreen GL: set-up, feedback geometry,
// blending, read-back and the clock.
#include "offscreen/offscreen_context.h"
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

namespace solvane {
namespace {

// Replays a fixed list of clock readings, then holds the last one.
class ScriptedPlatform : public FramePlatform {
public:
    explicit ScriptedPlatform(std::deque<std::uint32_t> times) : times_(std::move(times)) {}
    std::uint32_t timeMillis() override {
        if (times_.size() > 1) {
            const std::uint32_t t = times_.front();
            times_.pop_front();
            return t;
        }
        return times_.front();
    }
    void swapBuffers() override { glFinish(); }

private:
    std::deque<std::uint32_t> times_;
};

// One scene filling an offscreen context of its size.
struct OffscreenScene {
    OffscreenScene(int width, int height, int sheets = 1, std::uint32_t seed = 4242,
                   std::deque<std::uint32_t> times = {1000})
        : context(std::max(width, 1), std::max(height, 1)),
          platform(std::move(times)), inputs{fixedSceneSettings, SceneRandom::fromTime(seed)} {
        inputs.settings.sheetCount = sheets;
        if (context.valid()) {
            scene = std::make_unique<Scene>(Viewport{0, 0, width, height}, platform, inputs);
        }
    }

    const SceneState& state() const { return scene->state(); }
    void drawFrame() { scene->drawFrame(); }

    OffscreenContext context;
    ScriptedPlatform platform;
    SceneInputs inputs;
    std::unique_ptr<Scene> scene;
};

void fillFeedbackTexture(const SceneState& s, const std::vector<std::uint8_t>& rgb) {
    glBindTexture(GL_TEXTURE_2D, s.setup.feedbackTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, s.setup.feedbackSize, s.setup.feedbackSize, GL_RGB, GL_UNSIGNED_BYTE,
                    rgb.data());
}

std::vector<std::uint8_t> feedbackTexels(const SceneState& s) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(s.setup.feedbackSize) * s.setup.feedbackSize * 3);
    glBindTexture(GL_TEXTURE_2D, s.setup.feedbackTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

struct Point {
    double x, y;
};

// Where texture coordinate (s, t) of the feedback quad lands in a viewport,
// in window coordinates with the origin at the lower left.
Point projectQuadPoint(double s, double t, double fieldOfView, double aspect, double viewportWidth,
                       double viewportHeight, double spinDegrees, double dx, double dy, double dz) {
    const double x = aspect * (2 * s - 1);
    const double y = 2 * t - 1;
    const double angle = spinDegrees * std::numbers::pi / 180.0;
    const double ex = x * std::cos(angle) - y * std::sin(angle) + dx;
    const double ey = x * std::sin(angle) + y * std::cos(angle) + dy;
    const double ez = 1.25 + dz - 5.0;
    const double f = 1.0 / std::tan(fieldOfView * std::numbers::pi / 360.0);
    const double ndcX = f / aspect * ex / -ez;
    const double ndcY = f * ey / -ez;
    return {(ndcX + 1) / 2 * viewportWidth, (ndcY + 1) / 2 * viewportHeight};
}

// Brightness-weighted centre of the pixels brighter than `floor`, in window
// coordinates (origin lower left); `rows` run bottom to top.
Point brightCentroid(const std::uint8_t* rows, int width, int height, bool bottomUp, int floor) {
    double sum = 0;
    double sx = 0;
    double sy = 0;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const int value = rows[(static_cast<std::size_t>(row) * width + col) * 3];
            if (value > floor) {
                const double y = bottomUp ? row + 0.5 : height - row - 0.5;
                sum += value;
                sx += value * (col + 0.5);
                sy += value * y;
            }
        }
    }
    return sum > 0 ? Point{sx / sum, sy / sum} : Point{-1, -1};
}

TEST(SceneSetupTest, FeedbackSizeIsTheLargestFittingPowerOfTwo) {
    struct Case {
        int width, height, size;
    } const cases[] = {
        {1920, 1080, 256}, {300, 256, 256}, {300, 200, 128}, {128, 200, 128},
        {300, 100, 64},    {100, 900, 64},  {3, 2, 2},       {1, 1, 1},
    };
    for (const Case& c : cases) {
        OffscreenScene scene(c.width, c.height);
        ASSERT_TRUE(scene.context.valid());
        const SceneState& s = scene.state();
        EXPECT_EQ(s.setup.feedbackSize, c.size) << c.width << "x" << c.height;
        EXPECT_EQ(s.motion.feedbackPixels.size(), static_cast<std::size_t>(c.size * c.size * 3));
        GLint textureWidth = 0;
        GLint textureHeight = 0;
        glBindTexture(GL_TEXTURE_2D, s.setup.feedbackTexture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &textureHeight);
        EXPECT_EQ(textureWidth, c.size);
        EXPECT_EQ(textureHeight, c.size);
        EXPECT_FLOAT_EQ(s.setup.aspectRatio, static_cast<float>(c.width) / static_cast<float>(c.height));
    }
}

TEST(SceneSetupTest, StateIsReadyForTheFirstFrame) {
    OffscreenScene scene(320, 240);
    const SceneState& s = scene.state();
    EXPECT_EQ(s.setup.viewport.width, 320);
    EXPECT_EQ(s.setup.viewport.height, 240);
    EXPECT_TRUE(
        std::all_of(s.motion.feedbackPixels.begin(), s.motion.feedbackPixels.end(), [](auto b) { return b == 0; }));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);
    GLint pack = 0;
    GLint unpack = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(pack, 1);
    EXPECT_EQ(unpack, 1);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_FLOAT_EQ(modelView[14], -5.0f);

    const float rateLow[] = {0.25f, 0.5f, 0.5f, 1.0f};
    for (int k = 0; k < motionPhaseCount; ++k) {
        EXPECT_GE(s.setup.motionRate[k], rateLow[k]);
        EXPECT_LE(s.setup.motionRate[k], 2 * rateLow[k] + 1e-6f);
    }
    for (float rate : s.setup.envelopeRate) {
        EXPECT_GE(rate, 0.025f);
        EXPECT_LE(rate, 0.05f + 1e-6f);
    }
    EXPECT_EQ(s.setup.sheetCount, 1);
}

TEST(SceneSetupTest, ZeroSizedClientAreaStillSetsUpAndDraws) {
    for (auto [width, height] : {std::pair{0, 0}, std::pair{640, 0}, std::pair{0, 480}}) {
        OffscreenScene scene(width, height);
        const SceneState& s = scene.state();
        EXPECT_EQ(s.setup.feedbackSize, 1);
        EXPECT_EQ(s.motion.feedbackPixels.size(), 3u);
        EXPECT_TRUE(std::isfinite(s.setup.aspectRatio));
        EXPECT_GT(s.setup.aspectRatio, 0.0f);
        for (int frame = 0; frame < 5; ++frame) {
            scene.drawFrame();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST(SceneFrameTest, FirstFrameTurnsThirtyDegreesAndShiftsByTheFullOffsets) {
    constexpr int width = 512;
    constexpr int height = 384;
    OffscreenScene scene(width, height, 0);
    const SceneState& s = scene.state();
    const int size = s.setup.feedbackSize;
    ASSERT_EQ(size, 256);

    // A bright block off the centre, so that turn and shift both show; it
    // is placed so that both passes keep it well inside their views.
    std::vector<std::uint8_t> marker(static_cast<std::size_t>(size) * size * 3, 0);
    for (int row = 118; row < 130; ++row) {
        for (int col = 74; col < 86; ++col) {
            std::fill_n(&marker[(static_cast<std::size_t>(row) * size + col) * 3], 3, std::uint8_t{255});
        }
    }
    fillFeedbackTexture(s, marker);
    scene.drawFrame();

    EXPECT_EQ(s.motion.frameSeconds, 0.0f);
    for (float phase : s.motion.motionPhase) {
        EXPECT_EQ(phase, 0.0f);
    }
    EXPECT_FLOAT_EQ(s.setup.feedbackBrightness, fixedSceneSettings.feedbackPercent * feedbackBrightnessPerPercent);
    EXPECT_NEAR(s.setup.feedbackBrightness, 80.0f / 101.0f, 1e-6f) << "about 0.792 of the light kept a frame";

    const double aspect = static_cast<double>(width) / height;
    const std::vector<std::uint8_t> fedBack = feedbackTexels(s);
    const Point pass1 = brightCentroid(fedBack.data(), size, size, true, 20);
    const Point expected1 = projectQuadPoint(80.0 / size, 124.0 / size, 30, aspect, size, size, 30, 0.2, 0.2, 0.8);
    EXPECT_NEAR(pass1.x, expected1.x, 1.0);
    EXPECT_NEAR(pass1.y, expected1.y, 1.0);
    const std::uint8_t peak1 = *std::max_element(fedBack.begin(), fedBack.end());
    EXPECT_NEAR(peak1, 255 * 0.792, 2.0) << "the fed-back picture is dimmed once per pass";

    const RgbImage screen = scene.context.capture();
    const Point pass2 = brightCentroid(screen.pixels.data(), width, height, false, 20);
    const Point expected2 =
        projectQuadPoint(expected1.x / size, expected1.y / size, 20, aspect, width, height, 30, 0.2, 0.2, 0.8);
    EXPECT_NEAR(pass2.x, expected2.x, 3.0);
    EXPECT_NEAR(pass2.y, expected2.y, 3.0);
    const std::uint8_t peak2 = *std::max_element(screen.pixels.begin(), screen.pixels.end());
    EXPECT_NEAR(peak2, 255 * 0.792 * 0.792, 3.0);
}

TEST(SceneFrameTest, TextureHoldsExactlyTheReadBackSquare) {
    OffscreenScene scene(300, 200);
    const SceneState& s = scene.state();
    for (int frame = 0; frame < 3; ++frame) {
        scene.drawFrame();
    }
    scene.scene->drawFeedbackPass();
    const int size = s.setup.feedbackSize;
    ASSERT_EQ(size, 128);
    std::vector<std::uint8_t> square(static_cast<std::size_t>(size) * size * 3, 7);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, square.data());
    const std::vector<std::uint8_t> texture = feedbackTexels(s);
    EXPECT_EQ(texture, square);
    EXPECT_TRUE(std::any_of(texture.begin(), texture.end(), [](auto b) { return b > 16; }))
        << "the glowing sheet must have reached the feedback texture";
}

TEST(SceneFrameTest, SheetsAreUntexturedAndAddTheirLight) {
    constexpr int width = 320;
    constexpr int height = 240;
    struct Result {
        std::vector<std::uint8_t> feedback;
        RgbImage screen;
    };
    auto render = [&](int sheets, std::uint8_t textureLevel) {
        OffscreenScene scene(width, height, sheets, 777);
        const auto size = static_cast<std::size_t>(scene.state().setup.feedbackSize);
        fillFeedbackTexture(scene.state(), std::vector<std::uint8_t>(size * size * 3, textureLevel));
        scene.drawFrame();
        return Result{feedbackTexels(scene.state()), scene.context.capture()};
    };
    const Result quadOnly = render(0, 40);
    const Result sheetOnly = render(1, 0);
    const Result both = render(1, 40);

    // On a black feedback texture a textured sheet would stay black.
    const auto lit = std::count_if(sheetOnly.feedback.begin(), sheetOnly.feedback.end(), [](auto b) { return b > 32; });
    EXPECT_GT(lit, static_cast<long>(sheetOnly.feedback.size() / 20));

    auto mismatches = [](const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                         const std::vector<std::uint8_t>& sum, int tolerance) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < sum.size(); ++i) {
            count += std::abs(std::min(255, a[i] + b[i]) - sum[i]) > tolerance ? 1u : 0u;
        }
        return count;
    };
    // One pass adds exactly; the screen pass also inherits the feedback
    // pass's clamping where the sheet alone saturates, hence the looser bound.
    EXPECT_LT(mismatches(quadOnly.feedback, sheetOnly.feedback, both.feedback, 2), both.feedback.size() / 200);
    EXPECT_LT(mismatches(quadOnly.screen.pixels, sheetOnly.screen.pixels, both.screen.pixels, 3),
              both.screen.pixels.size() / 30);
}

// The sheet as plain immediate-mode strips, two GL calls a vertex.
void drawSheetImmediate(const Sheet& sheet) {
    const int n = sheet.resolution();
    glPushMatrix();
    glTranslatef(0.2f * sheet.coef[0], 0.2f * sheet.coef[1], 1.6f);
    for (int i = 0; i < n; ++i) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= n; ++j) {
            for (const SheetPoint& p : {sheet.point(i + 1, j), sheet.point(i, j)}) {
                glColor3f(sheet.red + p.glow - 1, sheet.green + p.glow - 1, sheet.blue + p.glow - 1);
                glVertex3f(p.u, p.v, p.glow);
            }
        }
        glEnd();
    }
    glPopMatrix();
}

TEST(SceneFrameTest, SheetDrawingMatchesPlainStripsPixelForPixel) {
    OffscreenScene scene(480, 270, 0);
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(8080)};
    Sheet sheet(inputs);
    glBindTexture(GL_TEXTURE_2D, 0);
    for (int step = 0; step < 6; ++step) {
        sheet.update(step == 0 ? 0.0f : 0.7f);
        for (double fieldOfView : {20.0, 30.0}) {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(fieldOfView, 480.0 / 270.0, 0.01, 20.0);
            glMatrixMode(GL_MODELVIEW);
            glClear(GL_COLOR_BUFFER_BIT);
            sheet.draw();
            const RgbImage drawn = scene.context.capture();
            glClear(GL_COLOR_BUFFER_BIT);
            drawSheetImmediate(sheet);
            const RgbImage reference = scene.context.capture();
            ASSERT_EQ(drawn.pixels, reference.pixels) << "step " << step << ", view " << fieldOfView;
            EXPECT_TRUE(std::any_of(drawn.pixels.begin(), drawn.pixels.end(), [](auto b) { return b > 0; }));
        }
    }
}

TEST(SceneFrameTest, ClockStepsAndABackwardStepReusesTheLastOne) {
    OffscreenScene scene(64, 64, 1, 1, {1000, 1000, 1100, 1150, 900, 0xFFFFFFF0u, 0x20u});
    const SceneState& s = scene.state();
    scene.drawFrame();
    EXPECT_EQ(s.motion.frameSeconds, 0.0f);
    scene.drawFrame();
    EXPECT_FLOAT_EQ(s.motion.frameSeconds, 0.1f);
    const float rate0 = s.setup.motionRate[0];
    EXPECT_FLOAT_EQ(s.motion.motionPhase[0], 0.1f * rate0);
    scene.drawFrame();
    EXPECT_FLOAT_EQ(s.motion.frameSeconds, 0.05f);
    scene.drawFrame(); // 1150 -> 900: backwards
    EXPECT_FLOAT_EQ(s.motion.frameSeconds, 0.05f);
    EXPECT_FLOAT_EQ(s.motion.motionPhase[0], 0.2f * rate0);
    scene.drawFrame(); // 900 -> 0xFFFFFFF0: a long forward step
    EXPECT_GT(s.motion.frameSeconds, 4000000.0f);
    const float longStep = s.motion.frameSeconds;
    scene.drawFrame(); // the counter wraps
    EXPECT_EQ(s.motion.frameSeconds, longStep);
}

TEST(SceneFrameTest, PhasesWrapOnceAndMotionFollowsTime) {
    OffscreenScene scene(64, 64, 1, 3, {0, 0, 60000});
    const SceneState& s = scene.state();
    scene.drawFrame();
    scene.drawFrame();
    for (int k = 0; k < motionPhaseCount; ++k) {
        float expected = 60.0f * s.setup.motionRate[k];
        if (expected > 2.0f * std::numbers::pi_v<float>) {
            expected -= 2.0f * std::numbers::pi_v<float>;
        }
        EXPECT_FLOAT_EQ(s.motion.motionPhase[k], expected);
    }
}

} // namespace
} // namespace solvane
