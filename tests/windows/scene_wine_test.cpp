// The portable scene on Wine's opengl32 in a hidden window, compared with
// frames the offscreen host rendered natively from the same seed and clock.
#include "host_window.h"
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"
#include "win32/gl_scene_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace solvane {
namespace {

constexpr int width = 320;
constexpr int height = 240;
constexpr std::uint32_t seed = 31337;
constexpr std::uint32_t stepMillis = 16;
constexpr int frameCount = 5;

// A fixed clock, and a swap that first keeps what the back buffer holds.
class CapturingPlatform : public FramePlatform {
public:
    HDC dc = nullptr;

    std::uint32_t timeMillis() override { return clock; }
    void swapBuffers() override {
        std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(width) * height * 3);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
        const std::size_t row = static_cast<std::size_t>(width) * 3;
        frame.resize(bottomUp.size());
        for (int y = 0; y < height; ++y) {
            std::copy_n(&bottomUp[static_cast<std::size_t>(height - 1 - y) * row], row, &frame[y * row]);
        }
        SwapBuffers(dc);
    }

    std::uint32_t clock = 0;
    std::vector<std::uint8_t> frame; // top-down RGB of the last frame
};

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        std::fclose(file);
    }
    return bytes;
}

TEST(SceneOnWineTest, FramesMatchTheNativeRendering) {
    const char* referenceDir = std::getenv("SOLVANE_REFERENCE_DIR");
    ASSERT_NE(referenceDir, nullptr) << "SOLVANE_REFERENCE_DIR must name the native reference frames";

    const test::HostWindow gl(RECT{0, 0, width, height}, test::HostWindow::Shown::No);
    ASSERT_NE(gl.window(), nullptr);
    EXPECT_FALSE(IsWindowVisible(gl.window()));
    CapturingPlatform platform;
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(seed)};
    auto host = std::make_unique<GlSceneHost>(gl.window(), platform, inputs);
    platform.dc = host->deviceContext();
    ASSERT_NE(wglGetCurrentContext(), nullptr) << "no GL context from Wine's opengl32";
    ASSERT_TRUE(host->ready());
    ASSERT_EQ(host->scenes()->size(), 1u) << "a window inside one monitor is one scene";
    std::printf("GL: %s / %s\n", reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    PIXELFORMATDESCRIPTOR format{};
    DescribePixelFormat(platform.dc, GetPixelFormat(platform.dc), sizeof format, &format);
    EXPECT_TRUE(format.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(format.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(host->scenes()->scene(0).state().setup.feedbackSize, 128);

    for (int frame = 1; frame <= frameCount; ++frame) {
        host->drawFrame();
        platform.clock += stepMillis;
        char name[32];
        std::snprintf(name, sizeof name, "\\frame-%04d.rgb", frame);
        const std::vector<std::uint8_t> reference = readFile(std::string(referenceDir) + name);
        ASSERT_EQ(reference.size(), platform.frame.size()) << "reference " << name;

        double total = 0;
        std::size_t distant = 0;
        long lit = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const int difference = std::abs(int{reference[i]} - int{platform.frame[i]});
            total += difference;
            distant += difference > 24 ? 1u : 0u;
            lit += platform.frame[i] > 32 ? 1 : 0;
        }
        const double mean = total / static_cast<double>(reference.size());
        std::printf("frame %d: mean difference %.3f, %zu channels off by more than 24\n", frame, mean, distant);
        EXPECT_GT(lit, static_cast<long>(reference.size() / 50)) << "frame " << frame << " is nearly black";
        EXPECT_LT(mean, 1.5) << "frame " << frame;
        EXPECT_LT(distant, reference.size() / 200) << "frame " << frame;
    }
    host.reset();
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

} // namespace
} // namespace solvane
