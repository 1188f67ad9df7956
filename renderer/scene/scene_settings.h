#pragma once

#include "scene/random.h"

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

inline constexpr SceneSettings fixedSceneSettings{
    .gridResolution = 30,
    .sheetCount = 1,
    .edgeGlowPercent = 40,
    .waveSpeed = 20,
    .feedbackPercent = 80, // the trails keep 0.792 of their light a frame
    .feedbackSpeed = 10,
    .feedbackSizeLog2 = 8,
};

// The fed-back picture's brightness for each point of feedbackPercent: just
// under a hundredth (1/101), so that even 100 percent dims the trails a
// little every frame and they fade instead of piling up into white.
inline constexpr float feedbackBrightnessPerPercent = 0.00990099f;

// What the scenes of a process read: the settings, and the one generator
// they all draw from, seeded once. Owned by whoever makes the scenes and
// handed to each; it must outlive them.
struct SceneInputs {
    SceneSettings settings;
    SceneRandom random;
};

} // namespace solvane
