// The renderer's own frame loop run in this process: the frames it draws
// paced and unpaced, and none while the display is off.
#include "saver_window_support.h"
#include "win32/saver_main.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace solvane {
namespace {

// The scene's clock fixed a step a frame, each frame's back buffer hashed
// before the swap, and a key posted to the window after a given count.
class SteppedPlatform : public FramePlatform {
public:
    static constexpr std::uint32_t stepMillis = 16;

    explicit SteppedPlatform(unsigned frames) : frames_(frames) {}

    std::uint32_t timeMillis() override { return clock_; }
    void swapBuffers() override {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(viewport[2]) * viewport[3] * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        std::uint64_t hash = 14695981039346656037ull;
        for (const std::uint8_t byte : pixels) {
            hash = (hash ^ byte) * 1099511628211ull;
        }
        hashes.push_back(hash);
        SwapBuffers(wglGetCurrentDC());
        clock_ += stepMillis;
        if (hashes.size() == frames_) {
            PostMessageA(WindowFromDC(wglGetCurrentDC()), WM_KEYDOWN, VK_SPACE, 0);
        }
    }

    std::vector<std::uint64_t> hashes;

private:
    unsigned frames_;
    std::uint32_t clock_ = 0;
};

// Frames of a whole run through the program's own loop, from one seed.
std::vector<std::uint64_t> framesOfARun(bool unpaced, bool& pacedItself) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_TRUE(saverClassRegistered(instance));
    SteppedPlatform platform(40);
    SaverWindow saver(instance, {unpaced, &platform, 31337u});
    EXPECT_NE(saver.create({0, 0, 160, 120}), nullptr);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20000, giveUpTheLoop);
    EXPECT_EQ(runMessageLoop(saver), 0) << "99: the run did not end within 20 s";
    KillTimer(nullptr, timer);
    pacedItself = saver.pacer().pacingItself();
    return platform.hashes;
}

TEST(SaverPacingTest, PacedAndUnpacedRunsDrawTheSameFrames) {
    bool pacedItself = false;
    const std::vector<std::uint64_t> paced = framesOfARun(false, pacedItself);
    EXPECT_TRUE(pacedItself) << "Mesa under Xvfb returns from the swap at once: the program paces the frames";
    bool ignored = false;
    const std::vector<std::uint64_t> unpaced = framesOfARun(true, ignored);
    ASSERT_EQ(paced.size(), 40u);
    EXPECT_EQ(paced, unpaced);
    EXPECT_NE(paced.front(), paced.back()) << "the frames must move";
}

// The display's state as the system reports it, sent to the window.
void reportDisplay(HWND window, DWORD state) {
    struct {
        GUID setting;
        DWORD length;
        DWORD state;
    } report{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof(DWORD), state};
    static_assert(offsetof(POWERBROADCAST_SETTING, Data) == offsetof(decltype(report), state));
    EXPECT_EQ(SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&report)), TRUE);
}

// Steps of a run driven from thread timers inside the program's own loop.
struct DarkDisplayRun {
    SaverWindow* saver = nullptr;
    bool lightAgain = false;
    unsigned long framesWhenDark = 0;
    unsigned long framesAfterASecond = 0;
    unsigned long framesWhenLit = 0;
    bool drewAgain = false;
};
DarkDisplayRun* darkRun = nullptr;

void CALLBACK drawsAgainThenKey(HWND, UINT, UINT_PTR timer, DWORD) {
    if (darkRun->saver->framesDrawn().frames > darkRun->framesWhenLit + 3) {
        darkRun->drewAgain = true;
        KillTimer(nullptr, timer);
        PostMessageA(darkRun->saver->handle(), WM_KEYDOWN, VK_SPACE, 0);
    }
}

void CALLBACK aSecondInTheDark(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    darkRun->framesAfterASecond = darkRun->saver->framesDrawn().frames;
    if (!darkRun->lightAgain) {
        PostMessageA(darkRun->saver->handle(), WM_KEYDOWN, VK_SPACE, 0);
        return;
    }
    reportDisplay(darkRun->saver->handle(), 1);
    darkRun->framesWhenLit = darkRun->saver->framesDrawn().frames;
    SetTimer(nullptr, 0, 20, drawsAgainThenKey);
}

DarkDisplayRun runWithTheDisplayOff(bool lightAgain) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_TRUE(saverClassRegistered(instance));
    SaverWindow saver(instance);
    const HWND window = saver.create({0, 0, 320, 240});
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(saver.idleFrame()) << "drawing before the display goes dark";
    DarkDisplayRun run;
    run.saver = &saver;
    run.lightAgain = lightAgain;
    darkRun = &run;
    reportDisplay(window, 2);
    EXPECT_NE(saver.millisUntilFrame(), INFINITE) << "a dimmed display still shows the picture";
    reportDisplay(window, 0);
    run.framesWhenDark = saver.framesDrawn().frames;
    EXPECT_EQ(saver.millisUntilFrame(), INFINITE);
    SetTimer(nullptr, 0, 1000, aSecondInTheDark);
    const UINT_PTR timer = SetTimer(nullptr, 0, 15000, giveUpTheLoop);
    EXPECT_EQ(runMessageLoop(saver), 0) << "99: the key did not end the saver within 15 s";
    KillTimer(nullptr, timer);
    EXPECT_FALSE(IsWindow(window));
    darkRun = nullptr;
    return run;
}

TEST(DisplayPowerTest, NoFrameWhileTheDisplayIsOffAndAKeyStillCloses) {
    const DarkDisplayRun run = runWithTheDisplayOff(false);
    EXPECT_EQ(run.framesAfterASecond, run.framesWhenDark) << "frames drawn for a dark display";
}

TEST(DisplayPowerTest, FramesComeBackWhenTheDisplayIsLitAgain) {
    const DarkDisplayRun run = runWithTheDisplayOff(true);
    EXPECT_EQ(run.framesAfterASecond, run.framesWhenDark) << "frames drawn for a dark display";
    EXPECT_TRUE(run.drewAgain) << "no frame after the display came back";
}

} // namespace
} // namespace solvane
