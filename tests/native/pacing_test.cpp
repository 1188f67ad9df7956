#include "scene/extension_list.h"
#include "scene/frame_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace solvane {
namespace {

constexpr std::int64_t second = 1000000;

// When a frame started at `start` comes back from its swap.
using Driver = std::function<std::int64_t(std::int64_t start)>;

Driver returnsAtOnce(std::int64_t work) {
    return [work](std::int64_t start) { return start + work; };
}

// Swaps wait for the next vertical blank of a display of `hz`.
Driver waitsForTheDisplay(double hz, std::int64_t work) {
    const auto period = static_cast<std::int64_t>(1e6 / hz);
    return [period, work](std::int64_t start) { return (start + work) / period * period + period; };
}

// A host's loop on a simulated clock: it waits as the pacer says, its timer
// rounding waits up to whole `tick`s, and draws whenever nothing is left to
// wait for. Returns the frames' start times.
std::vector<std::int64_t> run(FramePacer& pacer, const Driver& driver, std::int64_t until, std::int64_t tick = 1000,
                              std::int64_t from = 0) {
    std::vector<std::int64_t> starts;
    std::int64_t now = from;
    while (now < until) {
        if (const std::int64_t wait = pacer.waitBefore(now); wait > 0) {
            now += (wait + tick - 1) / tick * tick;
            continue;
        }
        pacer.frameStarted(now);
        starts.push_back(now);
        now = driver(now);
        pacer.frameShown(now);
        now += 20; // the loop's own messages
    }
    return starts;
}

// Frames per second over the last second of a run (the first frames judge the driver).
double lastSecondRate(const std::vector<std::int64_t>& starts) {
    if (starts.empty()) {
        return 0;
    }
    int count = 0;
    for (std::int64_t start : starts) {
        count += start >= starts.back() - second ? 1 : 0;
    }
    return count;
}

TEST(FramePacerTest, PacesADriverThatReturnsAtOnceToTheRefresh) {
    for (const double hz : {60.0, 75.0, 144.0}) {
        FramePacer pacer(hz);
        const auto starts = run(pacer, returnsAtOnce(400), 3 * second);
        EXPECT_TRUE(pacer.pacingItself()) << hz << " Hz";
        EXPECT_NEAR(lastSecondRate(starts), hz, 1.5) << hz << " Hz, with waits rounded to milliseconds";
        const auto fine = run(pacer, returnsAtOnce(400), 5 * second, 1, 3 * second);
        EXPECT_NEAR(lastSecondRate(fine), hz, 1.5) << hz << " Hz, with exact waits";
    }
}

TEST(FramePacerTest, LeavesADriverThatWaitsForTheDisplayAlone) {
    FramePacer pacer(60.0);
    EXPECT_TRUE(pacer.pacingItself()) << "until the driver is seen to pace, frames are paced here";
    const auto starts = run(pacer, waitsForTheDisplay(60.0, 3000), second / 4);
    EXPECT_FALSE(pacer.pacingItself());
    const std::int64_t handedOver = starts.back();
    std::int64_t waited = 0;
    std::int64_t now = handedOver + pacer.periodMicros();
    const Driver driver = waitsForTheDisplay(60.0, 3000);
    int frames = 0;
    while (now < 3 * second) {
        waited += pacer.waitBefore(now);
        pacer.frameStarted(now);
        now = driver(now);
        pacer.frameShown(now);
        ++frames;
    }
    EXPECT_FALSE(pacer.pacingItself());
    EXPECT_EQ(waited, 0) << "a wait of ours beside the driver's would miss blanks";
    EXPECT_NEAR(frames, static_cast<double>((3 * second - handedOver) / pacer.periodMicros()), 2);
}

TEST(FramePacerTest, NeverRunsAheadOfTheDisplayWhileItJudgesTheDriver) {
    FramePacer pacer(60.0);
    const auto starts = run(pacer, returnsAtOnce(400), second / 2, 1);
    ASSERT_GT(starts.size(), 2u);
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - starts[i - 1], pacer.periodMicros() - 1) << "frame " << i;
    }
}

TEST(FramePacerTest, NeverWaitsWhenTheFramesAreSlowerThanTheDisplay) {
    FramePacer pacer(60.0);
    const auto starts = run(pacer, returnsAtOnce(25000), 2 * second);
    EXPECT_FALSE(pacer.pacingItself());
    EXPECT_NEAR(lastSecondRate(starts), 40, 1);
}

TEST(FramePacerTest, HandsThePacingBackAndForthAsTheDriverChanges) {
    FramePacer pacer(60.0);
    run(pacer, returnsAtOnce(400), second);
    ASSERT_TRUE(pacer.pacingItself());
    // Vertical sync switched on in the driver: its waits make our own needless.
    const auto synced = run(pacer, waitsForTheDisplay(60.0, 400), 2 * second, 1000, second);
    EXPECT_FALSE(pacer.pacingItself());
    EXPECT_NEAR(lastSecondRate(synced), 60, 1.5);
    // And off again.
    const auto unsynced = run(pacer, returnsAtOnce(400), 4 * second, 1000, 2 * second);
    EXPECT_TRUE(pacer.pacingItself());
    EXPECT_NEAR(lastSecondRate(unsynced), 60, 1.5);
}

TEST(FramePacerTest, AStallIsNotCaughtUpInABurst) {
    FramePacer pacer(60.0);
    std::vector<std::int64_t> starts = run(pacer, returnsAtOnce(400), second);
    ASSERT_TRUE(pacer.pacingItself());
    // One frame takes a fifth of a second (the machine was busy).
    const std::int64_t stalled = starts.back() + FramePacer(60.0).periodMicros();
    pacer.frameStarted(stalled);
    pacer.frameShown(stalled + 200000);
    const auto after = run(pacer, returnsAtOnce(400), stalled + 200000 + 100000, 1, stalled + 200000);
    ASSERT_GE(after.size(), 3u);
    for (std::size_t i = 1; i < after.size(); ++i) {
        EXPECT_GE(after[i] - after[i - 1], pacer.periodMicros() - 1) << "frame " << i << " after the stall";
    }
}

TEST(FramePacerTest, UnknownRatesPaceToSixty) {
    for (const double hz : {0.0, 1.0, -5.0}) {
        FramePacer pacer(hz);
        EXPECT_EQ(pacer.refreshHz(), FramePacer::fallbackHz) << hz;
    }
    FramePacer pacer(0.0);
    pacer.setRefresh(120.0);
    EXPECT_EQ(pacer.periodMicros(), 8333);
    pacer.setRefresh(0.0);
    EXPECT_EQ(pacer.periodMicros(), 16667);
}

TEST(FramePacerTest, MinimumIntervalHoldsFromStartToStart) {
    FramePacer pacer(60.0, 50000);
    pacer.setDisplayPaced(false);
    const auto starts = run(pacer, returnsAtOnce(400), 3 * second);
    ASSERT_GT(starts.size(), 2u);
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - starts[i - 1], 50000) << "frame " << i;
    }
    EXPECT_NEAR(lastSecondRate(starts), 20, 1);

    // With the display's pace too, the longer of the two counts; a slow
    // frame does not shorten the next interval below the minimum.
    FramePacer both(60.0, 20000);
    const auto slowFirst = run(
        both, [](std::int64_t start) { return start + (start == 0 ? 30000 : 400); }, second);
    for (std::size_t i = 1; i < slowFirst.size(); ++i) {
        EXPECT_GE(slowFirst[i] - slowFirst[i - 1], 20000) << "frame " << i;
    }
}

TEST(FramePacerTest, UnpacedRunsAsFastAsTheFramesGo) {
    FramePacer pacer(60.0);
    pacer.setDisplayPaced(false);
    const auto starts = run(pacer, returnsAtOnce(480), second);
    EXPECT_GT(starts.size(), 1900u);
    EXPECT_EQ(pacer.waitBefore(starts.back() + 500), 0);
}

TEST(ExtensionListTest, FindsWholeNamesOnly) {
    const char* glx = "GLX_ARB_create_context GLX_EXT_swap_control_tear GLX_MESA_swap_control";
    EXPECT_FALSE(extensionListed(glx, "GLX_EXT_swap_control")) << "only the start of another name";
    EXPECT_TRUE(extensionListed(glx, "GLX_MESA_swap_control")) << "the last name";
    EXPECT_TRUE(extensionListed(glx, "GLX_ARB_create_context")) << "the first name";
    EXPECT_FALSE(extensionListed(glx, "MESA_swap_control")) << "only the end of another name";
    EXPECT_TRUE(extensionListed("WGL_EXT_swap_control_tear WGL_EXT_swap_control", "WGL_EXT_swap_control"));
    EXPECT_FALSE(extensionListed(nullptr, "WGL_EXT_swap_control"));
    EXPECT_FALSE(extensionListed("", "WGL_EXT_swap_control"));
    EXPECT_FALSE(extensionListed("WGL_EXT_swap_control", ""));
}

} // namespace
} // namespace solvane
