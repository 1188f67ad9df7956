#pragma once

#include "random.h"

#include <cstdint>

namespace solvane {

// The renderer's scene parameters. They are constants, assigned in one step
// when the saver window is created; the renderer reads no configuration.
struct SceneSettings {
    std::int32_t gridResolution = 0;   // intervals per side of a sheet's grid
    std::int32_t sheetCount = 0;       // sheets in the scene
    std::int32_t edgeGlowPercent = 0;  // glow threshold on the normal, in hundredths
    std::int32_t waveSpeed = 0;        // scale of the deformation rates
    std::int32_t feedbackPercent = 0;  // brightness of the fed-back image
    std::int32_t feedbackSpeed = 0;    // multiplier of the feedback motion rates
    std::int32_t feedbackSizeLog2 = 0; // log2 of the largest feedback texture side
};

inline constexpr SceneSettings fixedSceneSettings{30, 1, 40, 20, 80, 10, 8};

// What the scenes of a process read: the settings, and the one generator
// they all draw from, seeded once. Owned by whoever makes the scenes and
// handed to each; it must outlive them.
struct SceneInputs {
    SceneSettings settings;
    SceneRandom random;
};

} // namespace solvane
