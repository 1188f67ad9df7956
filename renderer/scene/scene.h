#pragma once

#include "frame_platform.h"
#include "sheet.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace solvane {

// Client rectangle of the window the scene draws into, in pixels.
struct ClientRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Viewport {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

inline constexpr int motionPhaseCount = 4;
inline constexpr int envelopePhaseCount = 3;

// The renderer's module state for the life of its window.
struct SceneState {
    FramePlatform* platform = nullptr;
    Viewport viewport;
    float aspectRatio = 1.0f;
    std::int32_t feedbackSize = 0;
    std::vector<std::uint8_t> feedbackPixels;
    unsigned int feedbackTexture = 0;
    float motionRate[motionPhaseCount] = {};
    float envelopeRate[envelopePhaseCount] = {};
    float motionPhase[motionPhaseCount] = {};
    float envelopePhase[envelopePhaseCount] = {};
    bool clockStarted = false;
    std::uint32_t lastTime = 0;
    float frameSeconds = 0.0f;
    bool brightnessSet = false;
    float feedbackBrightness = 0.0f;
    std::unique_ptr<Sheet[]> sheets;
    int sheetCount = 0;
};

// The GL half of the set-up, with the host's context current: viewport,
// projection, camera, blending, feedback texture and buffer, motion rates and
// the sheets. Reads the scene settings, which must have been assigned.
void setupScene(const ClientRect& client, FramePlatform& platform);

// Destroys the sheets and the feedback buffer; the texture goes with the context.
void teardownScene();

// One two-pass frame: clock, sheets, feedback pass, screen pass, present.
void drawFrame();

const SceneState& sceneState();

} // namespace solvane
