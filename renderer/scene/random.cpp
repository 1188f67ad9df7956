#include "scene/random.h"

namespace solvane {

SceneRandom SceneRandom::fromTime(std::uint32_t seconds) {
    constexpr int warmUpDraws = 20;
    SceneRandom random(seconds);
    for (int i = 0; i < warmUpDraws; ++i) {
        random.next();
    }
    return random;
}

// Linear congruential step with the constants of the classic Windows C
// runtime, which yields 15 bits per draw.
int SceneRandom::next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

float SceneRandom::nextUnit() { return static_cast<float>(next()) / static_cast<float>(randomMax); }

} // namespace solvane
