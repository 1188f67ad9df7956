// The renderer's frame against the plain algorithm, byte for byte: a
// reference renderer here draws every frame as the plain steps give it
// (clears, additive quad, immediate-mode strips, read-back through client
// memory), and every frame's window and feedback texture must match.
#include "offscreen/offscreen_context.h"
#include "plain_sheet.h"
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace solvane {
namespace {

constexpr int frames = 60;
constexpr std::uint32_t startMillis = 1000;

// Uneven steps, some long, so that the turn and shift of the fed-back
// picture run through their whole range within the frames.
std::uint32_t stepAfter(int frame) {
    constexpr std::uint32_t steps[] = {0, 16, 33, 7, 250, 16, 900, 40, 1300, 16};
    return steps[frame % std::size(steps)];
}

struct Pictures {
    std::vector<RgbImage> screens;
    std::vector<std::vector<std::vector<std::uint8_t>>> textures; // per frame, per scene
};

std::vector<std::uint8_t> texels(unsigned int texture, int size) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size) * size * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// One scene as the plain steps draw it, in its own viewport.
class PlainScene {
public:
    PlainScene(const Viewport& viewport, bool alone, SceneInputs& inputs) : viewport_(viewport), alone_(alone) {
        aspect_ = static_cast<float>(viewport.width) / static_cast<float>(viewport.height);
        settings_ = inputs.settings;
        size_ = 1 << settings_.feedbackSizeLog2;
        while (size_ > viewport.width || size_ > viewport.height) {
            size_ /= 2;
        }
        pixels_.assign(static_cast<std::size_t>(size_) * size_ * 3, 0);
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, size_, size_, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
        const float bases[7] = {0.025f, 0.05f, 0.05f, 0.1f, 0.0025f, 0.0025f, 0.0025f};
        for (int k = 0; k < 7; ++k) {
            rates_[k] = (bases[k] + inputs.random.nextUnit() * bases[k]) * static_cast<float>(settings_.feedbackSpeed);
        }
        sheet_ = std::make_unique<plain::PlainSheet>(inputs);
    }

    void frame(std::uint32_t now) {
        if (!started_) {
            last_ = now;
            started_ = true;
        }
        seconds_ = static_cast<float>(now - last_) * 0.001f;
        last_ = now;
        sheet_->update(seconds_);
        const float b = static_cast<float>(settings_.feedbackPercent) * feedbackBrightnessPerPercent;
        for (int k = 0; k < 7; ++k) {
            phases_[k] += seconds_ * rates_[k];
            if (phases_[k] > plain::twoPi) {
                phases_[k] -= plain::twoPi;
            }
        }

        glViewport(viewport_.x, viewport_.y, size_, size_);
        project(30.0);
        clear({viewport_.x, viewport_.y, size_, size_});
        glColor3f(b, b, b);
        glBindTexture(GL_TEXTURE_2D, texture_);
        quad();
        glBindTexture(GL_TEXTURE_2D, 0);
        sheet_->draw();
        glReadBuffer(GL_BACK);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glReadPixels(viewport_.x, viewport_.y, size_, size_, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size_, size_, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());

        glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
        project(20.0);
        clear(viewport_);
        glColor3f(b, b, b);
        quad();
        glBindTexture(GL_TEXTURE_2D, 0);
        sheet_->draw();
    }

    std::vector<std::uint8_t> feedback() const { return texels(texture_, size_); }

private:
    void project(double fieldOfView) const {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(fieldOfView, aspect_, 0.01, 20.0);
        glMatrixMode(GL_MODELVIEW);
    }

    // A scene alone clears the whole buffer; beside others, only its own part.
    void clear(const Viewport& area) const {
        if (!alone_) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(area.x, area.y, area.width, area.height);
        }
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    void quad() const {
        const float spin = 30.0f * std::cos(phases_[0]);
        const float dx = 0.2f * std::cos(phases_[1]);
        const float dy = 0.2f * std::cos(phases_[2]);
        const float dz = 0.8f * std::cos(phases_[3]);
        float env[3];
        for (int k = 0; k < 3; ++k) {
            const float c = std::cos(phases_[4 + k]);
            env[k] = c * c;
        }
        const float a = aspect_;
        glPushMatrix();
        glTranslatef(env[1] * dx, env[1] * dy, env[2] * dz);
        glRotatef(env[0] * spin, 0.0f, 0.0f, 1.0f);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(-0.5f, -0.5f);
        glVertex3f(-2 * a, -2, 1.25f);
        glTexCoord2f(1.5f, -0.5f);
        glVertex3f(2 * a, -2, 1.25f);
        glTexCoord2f(-0.5f, 1.5f);
        glVertex3f(-2 * a, 2, 1.25f);
        glTexCoord2f(1.5f, 1.5f);
        glVertex3f(2 * a, 2, 1.25f);
        glEnd();
        glPopMatrix();
    }

    Viewport viewport_;
    bool alone_;
    float aspect_;
    int size_;
    std::vector<std::uint8_t> pixels_;
    GLuint texture_ = 0;
    SceneSettings settings_;
    float rates_[7] = {};
    float phases_[7] = {};
    bool started_ = false;
    std::uint32_t last_ = 0;
    float seconds_ = 0.0f;
    std::unique_ptr<plain::PlainSheet> sheet_;
};

// The fixed state every frame relies on, set once per context.
void plainContextSetUp() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_TEXTURE_2D);
}

Pictures renderPlain(int width, int height, const std::vector<Viewport>& viewports, std::uint32_t seed) {
    OffscreenContext context(width, height);
    EXPECT_TRUE(context.valid());
    plainContextSetUp();
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(seed)};
    const bool alone = viewports.size() == 1 && viewports[0].width == width && viewports[0].height == height;
    std::vector<std::unique_ptr<PlainScene>> scenes;
    for (const Viewport& v : viewports) {
        scenes.push_back(std::make_unique<PlainScene>(v, alone, inputs));
    }
    Pictures out;
    std::uint32_t clock = startMillis;
    for (int frame = 0; frame < frames; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT); // what no scene shows stays black
        for (auto& scene : scenes) {
            scene->frame(clock);
        }
        glFlush();
        out.screens.push_back(context.capture());
        out.textures.emplace_back();
        for (auto& scene : scenes) {
            out.textures.back().push_back(scene->feedback());
        }
        clock += stepAfter(frame);
    }
    return out;
}

Pictures renderOptimised(int width, int height, const std::vector<PixelRect>& monitors, std::uint32_t seed) {
    OffscreenContext context(width, height);
    EXPECT_TRUE(context.valid());
    std::uint32_t clock = startMillis;
    OffscreenPlatform platform([&clock] { return clock; });
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(seed)};
    SceneSet scenes(width, height, monitors, platform, inputs);
    Pictures out;
    for (int frame = 0; frame < frames; ++frame) {
        scenes.drawFrame();
        out.screens.push_back(context.capture());
        out.textures.emplace_back();
        for (std::size_t i = 0; i < scenes.size(); ++i) {
            const SceneState& s = scenes.scene(i).state();
            out.textures.back().push_back(texels(s.setup.feedbackTexture, s.setup.feedbackSize));
        }
        clock += stepAfter(frame);
    }
    return out;
}

void expectSamePictures(const Pictures& optimised, const Pictures& plain) {
    ASSERT_EQ(optimised.screens.size(), plain.screens.size());
    long lit = 0;
    for (std::size_t frame = 0; frame < plain.screens.size(); ++frame) {
        // Compared whole, not printed: the pictures are large.
        ASSERT_TRUE(optimised.textures[frame] == plain.textures[frame]) << "feedback pass, frame " << frame;
        ASSERT_TRUE(optimised.screens[frame].pixels == plain.screens[frame].pixels) << "screen pass, frame " << frame;
        lit += std::count_if(plain.screens[frame].pixels.begin(), plain.screens[frame].pixels.end(),
                             [](std::uint8_t b) { return b > 24; });
    }
    EXPECT_GT(lit, 0) << "the frames compared must show something";
}

class FrameReferenceTest : public ::testing::Test {};

TEST_F(FrameReferenceTest, OneSceneEqualsThePlainFramesWhereverTheQuadCoversOrNot) {
    // An ordinary screen shape, where the quad covers the view; a very wide
    // and a very tall one, where at a large turn it does not.
    struct Size {
        int width, height;
    } const sizes[] = {{480, 270}, {1600, 120}, {120, 420}};
    for (const Size& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const Pictures optimised = renderOptimised(size.width, size.height, {}, 4242);
        const Pictures plain = renderPlain(size.width, size.height, {{0, 0, size.width, size.height}}, 4242);
        expectSamePictures(optimised, plain);
    }
}

TEST_F(FrameReferenceTest, TwoScenesInOneContextEqualThePlainFrames) {
    // A 400 x 300 monitor and a 240 x 150 one to its right, top-aligned;
    // in GL the smaller one's viewport starts 150 pixels up.
    const Pictures optimised = renderOptimised(640, 300, {{0, 0, 400, 300}, {400, 0, 640, 150}}, 99);
    const Pictures plain = renderPlain(640, 300, {{0, 0, 400, 300}, {400, 150, 240, 150}}, 99);
    expectSamePictures(optimised, plain);
}

TEST_F(FrameReferenceTest, OverlappingMonitorsEqualThePlainFrames) {
    // Mirrored outputs of different sizes share the top-left corner; their
    // feedback squares overlap, so each must be read back before the next is drawn.
    const Pictures optimised = renderOptimised(400, 300, {{0, 0, 400, 300}, {0, 0, 300, 280}}, 7);
    const Pictures plain = renderPlain(400, 300, {{0, 0, 400, 300}, {0, 20, 300, 280}}, 7);
    expectSamePictures(optimised, plain);
}

} // namespace
} // namespace solvane
