#pragma once

#include <cstdint>

namespace solvane {

// The scene's pseudo-random generator: integers uniform in 0..randomMax on
// every build (glibc's rand() reaches 2^31 - 1, so it cannot be used).
inline constexpr int randomMax = 32767;

void seedRandom(std::uint32_t seed);
int nextRandom();

// Seeds from the time of day in seconds and discards the first 20 draws.
void seedSceneRandom(std::uint32_t seconds);

// r / 32767 for the next r, so both ends of [0, 1] can occur.
float nextRandomUnit();

} // namespace solvane
