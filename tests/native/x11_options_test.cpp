// The native program's command line and its rules for leaving.
#include "x11/options.h"
#include "x11/x_input.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

std::optional<HostOptions> parse(std::vector<std::string> arguments, const char* environment = nullptr) {
    std::string error;
    return parseHostOptions(arguments, environment, error);
}

std::string errorOf(std::vector<std::string> arguments, const char* environment = nullptr) {
    std::string error;
    EXPECT_FALSE(parseHostOptions(arguments, environment, error));
    return error;
}

TEST(HostOptionsTest, ModesAndTheirWindow) {
    EXPECT_EQ(parse({})->mode, HostMode::OwnWindow);
    EXPECT_EQ(parse({"-root"})->mode, HostMode::Root);
    const auto given = parse({"-window-id", "0x2a00007", "-fps"});
    EXPECT_EQ(given->mode, HostMode::GivenWindow);
    EXPECT_EQ(given->windowId, 0x2a00007u);
    EXPECT_TRUE(given->showFps);
    EXPECT_EQ(parse({"--window-id", "1234"})->windowId, 1234u);
    EXPECT_EQ(parse({"-root"}, "0x400001")->windowId, 0x400001u);
    EXPECT_EQ(parse({"-root"}, "")->mode, HostMode::Root);
    EXPECT_EQ(parse({}, "0x400001")->mode, HostMode::OwnWindow) << "a variable a shell passed on is not a daemon";
    EXPECT_EQ(parse({}, "junk")->mode, HostMode::OwnWindow) << "nor is it read without -root";
    EXPECT_EQ(parse({"-root", "-window"}, "0x400001")->mode, HostMode::OwnWindow) << "the last placement counts";
    EXPECT_EQ(parse({"-window-id", "7"}, "0x400001")->windowId, 7u) << "an explicit window id wins";
    EXPECT_TRUE(parse({"--help"})->help);
    const auto testing = parse({"--seed", "0", "--step-ms", "16", "--dump-after", "5", "out.rgb"});
    EXPECT_EQ(*testing->seed, 0u);
    EXPECT_EQ(*testing->stepMillis, 16u);
    EXPECT_EQ(testing->dumpAfter, 5);
    EXPECT_EQ(testing->dumpPath, "out.rgb");
    EXPECT_FALSE(testing->unselectWindow);
    EXPECT_EQ(*parse({"--unselect-window", "0x400001", "-root"})->unselectWindow, 0x400001u);
    EXPECT_FALSE(testing->unpaced);
    EXPECT_TRUE(parse({"--unpaced"})->unpaced);
}

TEST(HostOptionsTest, WindowIdsAreDigitsOfAResourceId) {
    EXPECT_EQ(parse({"-window-id", "0x1FFFFFFF"})->windowId, 0x1FFFFFFFu) << "the largest id a server gives";
    EXPECT_EQ(parse({"-window-id", "536870911"})->windowId, 0x1FFFFFFFu);
    EXPECT_EQ(parse({"-window-id", "0X2a"})->windowId, 0x2Au);
    // strtoul skips blanks and wraps a sign round; X cuts ids to 32 bits.
    for (const char* bad : {" -1", "-1", "+5", "\t5", "5 ", " 5", "0x20000000", "536870912", "4294967296",
                            "0x100000007", "0", "0x0", "0x-5", "5e3", ""}) {
        EXPECT_EQ(errorOf({"-window-id", bad}), "solvane: -window-id needs a number") << "'" << bad << "'";
        EXPECT_EQ(errorOf({"-root"}, bad[0] != '\0' ? bad : " "),
                  std::string("solvane: XSCREENSAVER_WINDOW is not a window id: ") + (bad[0] != '\0' ? bad : " "))
            << "'" << bad << "'";
        EXPECT_EQ(errorOf({"--unselect-window", bad}), "solvane: --unselect-window needs a number")
            << "'" << bad << "'";
    }
}

TEST(HostOptionsTest, DelayIsMicrosecondsBetweenFrameStarts) {
    EXPECT_EQ(parse({})->delayMicros, 0u);
    EXPECT_EQ(parse({"-delay", "50000"})->delayMicros, 50000u);
    EXPECT_EQ(parse({"--delay", "0"})->delayMicros, 0u);
    EXPECT_EQ(parse({"-delay", "0x10"})->delayMicros, 16u);
    EXPECT_EQ(parse({"-delay", "4294967295"})->delayMicros, 4294967295u);
    EXPECT_EQ(parse({"-delay", "20000", "-delay", "10"})->delayMicros, 10u) << "the last one counts";
    for (const char* bad : {"soon", "-5", " 100", "100 ", "4294967296", "1e5", ""}) {
        EXPECT_EQ(errorOf({"-delay", bad}), "solvane: -delay needs a number") << "'" << bad << "'";
    }
    EXPECT_EQ(errorOf({"-root", "-delay"}), "solvane: -delay needs a number") << "a value missing at the end";
}

TEST(HostOptionsTest, DaemonConventionsNeverFail) {
    // What a daemon runs: -root, with its own window in the environment
    // standing in for the root it covers.
    const auto hosted = parse({"-root", "-fps"}, "0x1C00007");
    ASSERT_TRUE(hosted);
    EXPECT_EQ(hosted->mode, HostMode::GivenWindow);
    EXPECT_EQ(hosted->windowId, 0x1C00007u);
    EXPECT_TRUE(hosted->showFps);
    EXPECT_EQ(parse({"-root"})->mode, HostMode::Root) << "no daemon: the real root";

    // Accepted and ignored; their values are taken, never read as options.
    const auto ignored = parse({"-install", "-visual", "default", "-delay", "20000", "-no-install", "-root"});
    ASSERT_TRUE(ignored);
    EXPECT_EQ(ignored->mode, HostMode::Root);
    EXPECT_FALSE(ignored->showFps);
    EXPECT_EQ(ignored->delayMicros, 20000u);
    EXPECT_EQ(parse({"-visual", "0x21", "--delay", "0"})->mode, HostMode::OwnWindow);
    EXPECT_TRUE(parse({"-root", "-visual"})) << "a value missing at the end";

    // -root and -window are one switch; the last one counts.
    EXPECT_EQ(parse({"-root", "-window"})->mode, HostMode::OwnWindow);
    EXPECT_EQ(parse({"-window", "-root"})->mode, HostMode::Root);
    EXPECT_FALSE(parse({"-fps", "-no-fps"})->showFps);
    EXPECT_TRUE(parse({"-no-fps", "-fps"})->showFps);
}

TEST(HostOptionsTest, BadArgumentsSayWhatIsWrong) {
    EXPECT_EQ(errorOf({"--bogus"}), "solvane: unknown option --bogus");
    EXPECT_EQ(errorOf({"-window-id"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "12ab"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "-5"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "0x"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "99999999999999999999999"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-root", "-window-id", "3"}), "solvane: -window-id and -root exclude each other");
    EXPECT_EQ(errorOf({"-window-id", "3", "-window"}), "solvane: -window and -window-id exclude each other");
    EXPECT_EQ(errorOf({"-visual", "x", "-bogus"}), "solvane: unknown option -bogus");
    EXPECT_EQ(errorOf({"-root"}, "0x"), "solvane: XSCREENSAVER_WINDOW is not a window id: 0x");
    EXPECT_NE(errorOf({"-root"}, "window"), "");
    EXPECT_NE(errorOf({"--dump-after", "3"}), "");
    EXPECT_EQ(errorOf({"--unselect-window", "none"}), "solvane: --unselect-window needs a number");
}

TEST(ButtonTest, OnlyTheThreeMainButtonsEnd) {
    EXPECT_TRUE(buttonEnds(1));
    EXPECT_TRUE(buttonEnds(3));
    EXPECT_FALSE(buttonEnds(0));
    EXPECT_FALSE(buttonEnds(4));
    EXPECT_FALSE(buttonEnds(8));
}

} // namespace
} // namespace solvane
