// The native program's command line and its rules for leaving.
#include "x11/leave_rules.h"
#include "x11/options.h"

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
    EXPECT_EQ(parse({}, "0x400001")->windowId, 0x400001u);
    EXPECT_EQ(parse({}, "")->mode, HostMode::OwnWindow);
    EXPECT_EQ(parse({"-root"}, "0x400001")->mode, HostMode::Root) << "an explicit mode wins";
    EXPECT_TRUE(parse({"--help"})->help);
    const auto testing = parse({"--seed", "0", "--step-ms", "16", "--dump-after", "5", "out.rgb"});
    EXPECT_EQ(*testing->seed, 0u);
    EXPECT_EQ(*testing->stepMillis, 16u);
    EXPECT_EQ(testing->dumpAfter, 5);
    EXPECT_EQ(testing->dumpPath, "out.rgb");
}

TEST(HostOptionsTest, BadArgumentsSayWhatIsWrong) {
    EXPECT_EQ(errorOf({"--bogus"}), "solvane: unknown option --bogus");
    EXPECT_EQ(errorOf({"-window-id"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "12ab"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "-5"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "0x"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-window-id", "99999999999999999999999"}), "solvane: -window-id needs a number");
    EXPECT_EQ(errorOf({"-root", "-window-id", "3"}), "solvane: -window-id and -root exclude each other");
    EXPECT_NE(errorOf({}, "window"), "");
    EXPECT_NE(errorOf({"--dump-after", "3"}), "");
}

TEST(LeaveRulesTest, FirstMoveNeverEndsThenMoreThanFourPixelsDo) {
    LeaveRules far(100, 100);
    EXPECT_FALSE(far.pointerMoved(400, 300));
    EXPECT_TRUE(far.pointerMoved(401, 300)) << "the reference stayed where it was";

    LeaveRules drift(100, 100);
    for (int step = 1; step <= 20; ++step) {
        EXPECT_FALSE(drift.pointerMoved(100 + 2 * step, 100 + 2 * step));
    }
    EXPECT_FALSE(drift.pointerMoved(144, 140));
    EXPECT_TRUE(drift.pointerMoved(147, 142));

    EXPECT_TRUE(LeaveRules::buttonEnds(1));
    EXPECT_TRUE(LeaveRules::buttonEnds(3));
    EXPECT_FALSE(LeaveRules::buttonEnds(4));
    EXPECT_FALSE(LeaveRules::buttonEnds(8));
}

} // namespace
} // namespace solvane
