#include "random.h"

namespace solvane {

namespace {
// Linear congruential step with the constants of the classic Windows C
// runtime, which yields 15 bits per draw.
std::uint32_t randomState = 1;
}

void seedRandom(std::uint32_t seed) { randomState = seed; }

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void seedSceneRandom(std::uint32_t seconds) {
    constexpr int warmUpDraws = 20;
    seedRandom(seconds);
    for (int i = 0; i < warmUpDraws; ++i) {
        nextRandom();
    }
}

float nextRandomUnit() { return static_cast<float>(nextRandom()) / static_cast<float>(randomMax); }

} // namespace solvane
