#include "scene/leave_rule.h"

#include <gtest/gtest.h>

#include <ostream>

namespace solvane {

// So that a failure names the move instead of printing its bytes.
inline std::ostream& operator<<(std::ostream& out, PointerLeaveRule::Move move) {
    switch (move) {
    case PointerLeaveRule::Move::greeting:
        return out << "greeting";
    case PointerLeaveRule::Move::small:
        return out << "small";
    case PointerLeaveRule::Move::ends:
        return out << "ends";
    }
    return out << "unknown";
}

namespace {

using Move = PointerLeaveRule::Move;

TEST(PointerLeaveRuleTest, TheGreetingNeverEndsHoweverFar) {
    PointerLeaveRule far(100, 100);
    EXPECT_EQ(far.moved(400, 300), Move::greeting);
    EXPECT_EQ(far.moved(401, 300), Move::ends) << "a far greeting moved the reference";

    PointerLeaveRule near(100, 100);
    EXPECT_EQ(near.moved(102, 101), Move::greeting);
    EXPECT_EQ(near.moved(106, 101), Move::small) << "a near greeting carries the reference";
}

TEST(PointerLeaveRuleTest, MoreThanFourPixelsEndSmallerOnesCarryTheReference) {
    PointerLeaveRule rule(0, 0);
    EXPECT_EQ(rule.moved(0, 0), Move::greeting);
    EXPECT_EQ(rule.moved(3, 1), Move::small) << "4 pixels is within the tolerance";
    EXPECT_EQ(rule.moved(3, 6), Move::ends) << "5 pixels is beyond it";
    EXPECT_EQ(rule.moved(0, 3), Move::ends) << "|dx| + |dy| from (3, 1), not the larger of the two";

    // A slow drift never ends, however far it goes in all.
    PointerLeaveRule drift(100, 100);
    EXPECT_EQ(drift.moved(100, 100), Move::greeting);
    for (int step = 1; step <= 20; ++step) {
        EXPECT_EQ(drift.moved(100 + 2 * step, 100 + 2 * step), Move::small) << "step " << step;
    }
    EXPECT_EQ(drift.moved(144, 140), Move::small);
    EXPECT_EQ(drift.moved(147, 142), Move::ends);
}

TEST(PointerLeaveRuleTest, ARestartMovesTheReferenceButNotTheGreeting) {
    PointerLeaveRule rule(10, 10);
    EXPECT_EQ(rule.moved(10, 10), Move::greeting);
    rule.restartAt(500, 500);
    EXPECT_EQ(rule.moved(502, 502), Move::small) << "the greeting came before the restart";
    EXPECT_EQ(rule.moved(10, 10), Move::ends);
}

} // namespace
} // namespace solvane
