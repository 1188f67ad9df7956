#pragma once

#include "scene/screen_layout.h"

#include <cstdint>
#include <vector>

namespace solvane {

// One quad over the whole viewport under identity matrices; textured, it
// maps the whole texture onto it.
void viewportQuad(bool textured);

// A texture of side x side RGB pixels sampled as the picture's feedback
// texture is; bound when it returns.
unsigned int makeFeedbackLikeTexture(std::int32_t side, const std::uint8_t* pixels);

// The clear-and-two-quads floor: a clear, then per monitor one quad
// textured with `texture` and one additive untextured quad. It leaves out
// the feedback square's round trip, which no frame of this picture can.
// The caller presents.
void drawTwoQuadFloor(std::int32_t windowHeight, const std::vector<PixelRect>& monitors, unsigned int texture);

// The work no frame of this picture can do without, in its plainest form,
// for the scenes a window of the given monitors holds: per scene the feedback
// square at the lower left of its viewport drawn as one textured quad, read
// back and loaded into its texture; then one quad over the whole viewport
// textured with it, clamped, blending off; the parts no monitor covers
// cleared. No sheets, no perspective, no clear where a quad covers. The
// caller presents (finish or swap), once for the window, as a frame does.
class PictureFloor {
public:
    PictureFloor(std::int32_t windowWidth, std::int32_t windowHeight, const std::vector<PixelRect>& monitors,
                 std::int32_t feedbackSizeLog2);
    ~PictureFloor();
    PictureFloor(const PictureFloor&) = delete;
    PictureFloor& operator=(const PictureFloor&) = delete;

    void draw();

private:
    struct Square {
        Viewport viewport;
        std::int32_t side = 0;
        unsigned int texture = 0;
        std::vector<std::uint8_t> pixels;
    };
    std::vector<Square> squares_;
    std::vector<Viewport> blackAreas_;
};

} // namespace solvane
