#pragma once

#include <cstdint>

namespace solvane {

// The scene's pseudo-random generator: integers uniform in 0..randomMax on
// every build (glibc's rand() reaches 2^31 - 1, so it cannot be used).
inline constexpr int randomMax = 32767;

class SceneRandom {
public:
    explicit SceneRandom(std::uint32_t seed = 1) : state_(seed) {}

    // Seeded from the time of day in seconds, the first 20 draws discarded.
    static SceneRandom fromTime(std::uint32_t seconds);

    int next();
    // r / 32767 for the next r, so both ends of [0, 1] can occur.
    float nextUnit();

private:
    std::uint32_t state_;
};

} // namespace solvane
