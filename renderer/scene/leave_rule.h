#pragma once

#include <cstdlib>

namespace solvane {

// The pointer's share of what ends a saver that runs in a window of its
// own, the same on every host: the move that greets the window never ends
// it; after it, a move of more than `tolerance` pixels (|dx| + |dy|) from
// the reference does, and smaller moves carry the reference along. The
// coordinates are the screen's, so that they do not jump with the window.
class PointerLeaveRule {
public:
    static constexpr int tolerance = 4;

    enum class Move {
        greeting, // the first move: never input
        small,    // within the tolerance: the reference follows
        ends,     // beyond it: the saver is to end
    };

    PointerLeaveRule() = default;
    PointerLeaveRule(int x, int y) : referenceX_(x), referenceY_(y) {}

    // Whether a move to (x, y) would be beyond the tolerance; a host that
    // asks to close on every far move, greeting or not, reads it first.
    bool beyond(int x, int y) const { return std::abs(referenceX_ - x) + std::abs(referenceY_ - y) > tolerance; }

    Move moved(int x, int y) {
        const bool greeting = !firstMoveSeen_;
        firstMoveSeen_ = true;
        if (beyond(x, y)) {
            return greeting ? Move::greeting : Move::ends; // a far greeting keeps the reference
        }
        referenceX_ = x;
        referenceY_ = y;
        return greeting ? Move::greeting : Move::small;
    }

    // A new reference that is no move: the monitors changed, or the saver
    // goes on after a refused password.
    void restartAt(int x, int y) {
        referenceX_ = x;
        referenceY_ = y;
    }

private:
    int referenceX_ = 0;
    int referenceY_ = 0;
    bool firstMoveSeen_ = false;
};

} // namespace solvane
