#pragma once

#include <cstdlib>

namespace solvane {

// When input ends the saver in a window of its own, as on Windows: the
// first pointer move never does; later, a move of more than 4 pixels
// (|dx| + |dy|) from the reference does, and smaller moves carry the
// reference along.
class LeaveRules {
public:
    static constexpr int tolerance = 4;

    explicit LeaveRules(int x, int y) : referenceX_(x), referenceY_(y) {}

    // True when this move ends the saver.
    bool pointerMoved(int x, int y) {
        const bool armed = firstMoveSeen_;
        firstMoveSeen_ = true;
        if (std::abs(referenceX_ - x) + std::abs(referenceY_ - y) > tolerance) {
            return armed;
        }
        referenceX_ = x;
        referenceY_ = y;
        return false;
    }

    // Key and button numbers as X gives them: any key; buttons 1 to 3 only
    // (not the wheel, 4 and 5, nor the side buttons).
    static bool buttonEnds(unsigned int button) { return button >= 1 && button <= 3; }

private:
    int referenceX_;
    int referenceY_;
    bool firstMoveSeen_ = false;
};

} // namespace solvane
