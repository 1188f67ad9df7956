#include "floors.h"

#include "scene/gl_api.h"
#include "scene/scene.h"

namespace solvane {

void viewportQuad(bool textured) {
    static constexpr float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    glBegin(GL_TRIANGLE_STRIP);
    for (const auto& c : corners) {
        if (textured) {
            glTexCoord2f((c[0] + 1) / 2, (c[1] + 1) / 2);
        }
        glVertex2f(c[0], c[1]);
    }
    glEnd();
}

namespace {

// Identity matrices for a floor, and the frame's own back after it.
class IdentityMatrices {
public:
    IdentityMatrices() {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    ~IdentityMatrices() {
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    IdentityMatrices(const IdentityMatrices&) = delete;
    IdentityMatrices& operator=(const IdentityMatrices&) = delete;
};

} // namespace

unsigned int makeFeedbackLikeTexture(std::int32_t side, const std::uint8_t* pixels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Linear and clamped to its border, which costs Mesa more per pixel than
    // the default repeat.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    return texture;
}

void drawTwoQuadFloor(std::int32_t windowHeight, const std::vector<PixelRect>& monitors, unsigned int texture) {
    const IdentityMatrices identity;
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const PixelRect& monitor : monitors) {
        const Viewport v = viewportOf(monitor, windowHeight);
        glViewport(v.x, v.y, v.width, v.height);
        glColor3f(0.8f, 0.8f, 0.8f);
        glBindTexture(GL_TEXTURE_2D, texture);
        viewportQuad(true);
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor3f(0.1f, 0.05f, 0.02f);
        viewportQuad(false);
    }
    glFlush();
}

PictureFloor::PictureFloor(std::int32_t windowWidth, std::int32_t windowHeight, const std::vector<PixelRect>& monitors,
                           std::int32_t feedbackSizeLog2) {
    const std::vector<PixelRect> rects = sceneRects(windowWidth, windowHeight, monitors);
    for (const PixelRect& rect : rects) {
        Square square;
        square.viewport = viewportOf(rect, windowHeight);
        square.side =
            std::int32_t{1} << feedbackSquareLog2(feedbackSizeLog2, square.viewport.width, square.viewport.height);
        square.pixels.assign(static_cast<std::size_t>(square.side) * square.side * 3, 60);
        square.texture = makeFeedbackLikeTexture(square.side, square.pixels.data());
        squares_.push_back(std::move(square));
    }
    for (const PixelRect& rect : uncoveredRects(windowWidth, windowHeight, rects)) {
        blackAreas_.push_back(viewportOf(rect, windowHeight));
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

PictureFloor::~PictureFloor() {
    for (const Square& square : squares_) {
        glDeleteTextures(1, &square.texture);
    }
}

void PictureFloor::draw() {
    // The state a frame leaves may be anything; the floor sets what it uses.
    const IdentityMatrices identity;
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glColor3f(0.8f, 0.8f, 0.8f);
    // All squares drawn before any is read, as a frame of several monitors does.
    for (const Square& square : squares_) {
        glViewport(square.viewport.x, square.viewport.y, square.side, square.side);
        glBindTexture(GL_TEXTURE_2D, square.texture);
        viewportQuad(true);
    }
    glReadBuffer(GL_BACK);
    for (Square& square : squares_) {
        glBindTexture(GL_TEXTURE_2D, square.texture);
        glReadPixels(square.viewport.x, square.viewport.y, square.side, square.side, GL_RGB, GL_UNSIGNED_BYTE,
                     square.pixels.data());
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, square.side, square.side, GL_RGB, GL_UNSIGNED_BYTE,
                        square.pixels.data());
    }
    for (const Square& square : squares_) {
        glViewport(square.viewport.x, square.viewport.y, square.viewport.width, square.viewport.height);
        glBindTexture(GL_TEXTURE_2D, square.texture);
        viewportQuad(true);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!blackAreas_.empty()) {
        glEnable(GL_SCISSOR_TEST);
        for (const Viewport& area : blackAreas_) {
            glScissor(area.x, area.y, area.width, area.height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    glEnable(GL_BLEND);
    glFlush();
}

} // namespace solvane
