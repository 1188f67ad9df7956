#pragma once

#include "scene/frame_platform.h"
#include "scene/scene_settings.h"
#include "scene/screen_layout.h"
#include "scene/sheet.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace solvane {

inline constexpr int motionPhaseCount = 4;
inline constexpr int envelopePhaseCount = 3;

// What a scene fixes when it is made.
struct SceneSetup {
    Viewport viewport;
    float aspectRatio = 1.0f;
    std::int32_t feedbackSizeLog2 = 0;
    std::int32_t feedbackSize = 0;
    unsigned int feedbackTexture = 0;
    float feedbackBrightness = 0.0f; // the fed-back picture's dimming a frame
    float motionRate[motionPhaseCount] = {};
    float envelopeRate[envelopePhaseCount] = {};
    int sheetCount = 0;
};

// What every frame changes: the clock, the phases, the sheets, and the
// read-back buffer (made once, at its final size).
struct SceneMotion {
    bool clockStarted = false;
    std::uint32_t lastTime = 0;
    float frameSeconds = 0.0f;
    float motionPhase[motionPhaseCount] = {};
    float envelopePhase[envelopePhaseCount] = {};
    std::vector<std::uint8_t> feedbackPixels;
    std::deque<Sheet> sheets; // a deque: sheets stay where they are made
};

struct SceneState {
    SceneSetup setup;
    SceneMotion motion;
};

// One complete picture in one viewport of a GL context: its own feedback
// texture and buffer, motion, clock and sheets. Several may share a context
// (one per monitor); each draws only inside its viewport, its feedback
// square at the viewport's lower-left corner. Construction and destruction
// need the context current. Reads the settings it is given and draws its
// rates and sheets from their generator.
// The exponent of a viewport's feedback square: the largest power of two
// not above 2^log2 that fits both sides. It never drops below 0, so a
// zero-sized viewport ends at a 1 x 1 texture.
std::int32_t feedbackSquareLog2(std::int32_t log2, std::int32_t width, std::int32_t height);

class Scene {
public:
    Scene(const Viewport& viewport, FramePlatform& platform, SceneInputs& inputs);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Clock, sheets, feedback pass and screen pass into the back buffer;
    // presenting is the host's, once for all scenes of a window.
    void drawFrame();

    // drawFrame in two halves, so that a window's scenes can all read their
    // feedback squares back before any draws its full viewport: the
    // read-backs then wait for small squares only.
    void drawFeedbackPass();
    void drawScreenPass();
    // The feedback pass in its two halves: the clock, the motion and the
    // square drawn; then the square read back into the texture.
    void drawFeedbackSquare();
    void readFeedbackSquare();
    // Where the feedback pass draws, in the window's GL pixels.
    Viewport feedbackSquare() const;

    // Test hook (also read by the hosts' test options): all the scene keeps.
    const SceneState& state() const { return state_; }

    // The two passes' perspectives: the feedback pass sees wider.
    static constexpr double feedbackFieldOfView = 30.0;
    static constexpr double screenFieldOfView = 20.0;
    // Loads a pass's perspective for this scene's aspect ratio.
    void projection(double fieldOfView) const;

private:
    // Whether this frame's feedback quad covers the whole view of a pass.
    bool quadCoversView(double fieldOfView) const;
    // The feedback quad over a pass's area, on black.
    void drawQuadOver(const Viewport& area, double fieldOfView) const;
    void feedbackQuad(const float envelope[envelopePhaseCount], float dx, float dy, float dz, float spin) const;
    void drawSheets() const;
    // One pass into `area`: the feedback picture dimmed and moved, the sheets on top.
    void drawLayers(const Viewport& area, double fieldOfView);
    void advanceMotion();

    FramePlatform& platform_;
    // This frame's motion, from the feedback pass to the screen pass.
    float spin_ = 0.0f, dx_ = 0.0f, dy_ = 0.0f, dz_ = 0.0f;
    float envelope_[envelopePhaseCount] = {};
    SceneState state_;
};

// The scenes of one window, one per monitor rectangle, with the rest of the
// window kept black and one present per frame.
class SceneSet {
public:
    // Rectangles in window pixels from the top left; see sceneRects.
    SceneSet(std::int32_t windowWidth, std::int32_t windowHeight, const std::vector<PixelRect>& monitors,
             FramePlatform& platform, SceneInputs& inputs);

    void drawFrame();

    std::size_t size() const { return scenes_.size(); }
    const Scene& scene(std::size_t index) const { return *scenes_[index]; }

private:
    // The feedback squares of scenes [first, end) into their textures.
    void readFeedbackSquares(std::size_t first, std::size_t end);

    FramePlatform& platform_;
    std::vector<std::unique_ptr<Scene>> scenes_;
    std::vector<Viewport> blackAreas_;
};

} // namespace solvane
