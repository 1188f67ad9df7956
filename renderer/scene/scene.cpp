#include "scene/scene.h"

#include "scene/gl_api.h"

#include <cmath>
#include <numbers>

namespace solvane {

namespace {

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

float rateBetween(float base, SceneInputs& inputs) {
    return (base + inputs.random.nextUnit() * base) * static_cast<float>(inputs.settings.feedbackSpeed);
}

void advance(float& phase, float rate, float seconds) {
    phase += seconds * rate;
    if (phase > twoPi) {
        phase -= twoPi;
    }
}

bool overlap(const Viewport& a, const Viewport& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// glClear ignores the viewport: every clear is held to its own rectangle.
void clearArea(const Viewport& area) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(area.x, area.y, area.width, area.height);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// Rest half-extents of the feedback quad, in units of the aspect ratio and
// plain units; the plane it lies in; the camera distance. The quad is drawn
// from these and the cover test works from them.
constexpr float quadHalfWidthPerAspect = 2.0f;
constexpr float quadHalfHeight = 2.0f;
constexpr float quadPlaneZ = 1.25f;
constexpr float cameraDistance = 5.0f;
// The texture reaches half a picture beyond each side of the quad.
constexpr float quadTextureLow = -0.5f;
constexpr float quadTextureHigh = 1.5f;
// How far inside the quad's edges every corner of the view must lie, in the
// quad's units: far more than the float rounding of the transform.
constexpr double coverMargin = 1e-3;

} // namespace

std::int32_t feedbackSquareLog2(std::int32_t log2, std::int32_t width, std::int32_t height) {
    while (((std::int32_t{1} << log2) > width || (std::int32_t{1} << log2) > height) && log2 > 0) {
        --log2;
    }
    return log2;
}

Scene::Scene(const Viewport& viewport, FramePlatform& platform, SceneInputs& inputs) : platform_(platform) {
    const SceneSettings& settings = inputs.settings;
    SceneState& s = state_;
    s.setup.viewport = viewport;
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    // A zero-sized viewport would divide by zero; it draws as a square.
    s.setup.aspectRatio = (viewport.width > 0 && viewport.height > 0)
                              ? static_cast<float>(viewport.width) / static_cast<float>(viewport.height)
                              : 1.0f;

    projection(screenFieldOfView);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -cameraDistance);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    clearArea(viewport);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);

    // Tight RGB rows whatever the side, so a side below 4 stays inside the buffer.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    s.setup.feedbackSizeLog2 = feedbackSquareLog2(settings.feedbackSizeLog2, viewport.width, viewport.height);
    const std::int32_t size = std::int32_t{1} << s.setup.feedbackSizeLog2;
    s.setup.feedbackSize = size;
    glEnable(GL_TEXTURE_2D);
    // Zero-filled, so the first frame re-draws a defined black texture.
    s.motion.feedbackPixels.assign(static_cast<std::size_t>(size) * size * 3, 0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    s.setup.feedbackTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, s.motion.feedbackPixels.data());

    s.setup.motionRate[0] = rateBetween(0.025f, inputs);
    s.setup.motionRate[1] = rateBetween(0.05f, inputs);
    s.setup.motionRate[2] = rateBetween(0.05f, inputs);
    s.setup.motionRate[3] = rateBetween(0.1f, inputs);
    for (float& rate : s.setup.envelopeRate) {
        rate = rateBetween(0.0025f, inputs);
    }

    s.setup.feedbackBrightness = static_cast<float>(settings.feedbackPercent) * feedbackBrightnessPerPercent;
    s.setup.sheetCount = settings.sheetCount;
    for (int i = 0; i < s.setup.sheetCount; ++i) {
        s.motion.sheets.emplace_back(inputs);
    }
}

Scene::~Scene() {
    const GLuint texture = state_.setup.feedbackTexture;
    glDeleteTextures(1, &texture);
}

void Scene::projection(double fieldOfView) const {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, state_.setup.aspectRatio, 0.01, 20.0);
    glMatrixMode(GL_MODELVIEW);
}

void Scene::feedbackQuad(const float envelope[envelopePhaseCount], float dx, float dy, float dz, float spin) const {
    const float x = quadHalfWidthPerAspect * state_.setup.aspectRatio;
    const float y = quadHalfHeight;
    glPushMatrix();
    glTranslatef(envelope[1] * dx, envelope[1] * dy, envelope[2] * dz);
    glRotatef(envelope[0] * spin, 0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(quadTextureLow, quadTextureLow);
    glVertex3f(-x, -y, quadPlaneZ);
    glTexCoord2f(quadTextureHigh, quadTextureLow);
    glVertex3f(x, -y, quadPlaneZ);
    glTexCoord2f(quadTextureLow, quadTextureHigh);
    glVertex3f(-x, y, quadPlaneZ);
    glTexCoord2f(quadTextureHigh, quadTextureHigh);
    glVertex3f(x, y, quadPlaneZ);
    glEnd();
    glPopMatrix();
}

bool Scene::quadCoversView(double fieldOfView) const {
    const double a = state_.setup.aspectRatio;
    const double angle = envelope_[0] * spin_ * (std::numbers::pi / 180.0);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double tx = envelope_[1] * dx_;
    const double ty = envelope_[1] * dy_;
    const double depth = double{cameraDistance} - double{quadPlaneZ} - envelope_[2] * dz_;
    // Half the view's extent at the quad's depth.
    const double halfHeight = depth * std::tan(fieldOfView * (std::numbers::pi / 360.0));
    const double halfWidth = halfHeight * a;
    for (const double cornerX : {-halfWidth, halfWidth}) {
        for (const double cornerY : {-halfHeight, halfHeight}) {
            // The view's corner in the quad's own, unturned frame.
            const double ex = cornerX - tx;
            const double ey = cornerY - ty;
            const double qx = ex * c + ey * s;
            const double qy = -ex * s + ey * c;
            if (std::fabs(qx) > double{quadHalfWidthPerAspect} * a - coverMargin ||
                std::fabs(qy) > double{quadHalfHeight} - coverMargin) {
                return false;
            }
        }
    }
    return true;
}

void Scene::drawQuadOver(const Viewport& area, double fieldOfView) const {
    // Over cleared black, adding the quad writes exactly its own colour; when
    // it covers the whole view it may simply overwrite, with no clear at all.
    if (quadCoversView(fieldOfView)) {
        glDisable(GL_BLEND);
        feedbackQuad(envelope_, dx_, dy_, dz_, spin_);
        glEnable(GL_BLEND);
    } else {
        clearArea(area);
        feedbackQuad(envelope_, dx_, dy_, dz_, spin_);
    }
}

void Scene::drawSheets() const {
    for (int i = 0; i < state_.setup.sheetCount; ++i) {
        state_.motion.sheets[i].draw();
    }
}

void Scene::advanceMotion() {
    SceneState& s = state_;
    if (!s.motion.clockStarted) {
        s.motion.lastTime = platform_.timeMillis();
        s.motion.clockStarted = true;
    }
    const std::uint32_t previous = s.motion.lastTime;
    const std::uint32_t now = platform_.timeMillis();
    s.motion.lastTime = now;
    // A wrapped counter keeps the previous step instead of a huge one.
    if (now >= previous) {
        s.motion.frameSeconds = static_cast<float>(now - previous) * 0.001f;
    }
    const float dt = s.motion.frameSeconds;

    for (int i = 0; i < s.setup.sheetCount; ++i) {
        s.motion.sheets[i].update(dt);
    }

    for (int k = 0; k < motionPhaseCount; ++k) {
        advance(s.motion.motionPhase[k], s.setup.motionRate[k], dt);
    }
    spin_ = 30.0f * std::cos(s.motion.motionPhase[0]);
    dx_ = 0.2f * std::cos(s.motion.motionPhase[1]);
    dy_ = 0.2f * std::cos(s.motion.motionPhase[2]);
    dz_ = 0.8f * std::cos(s.motion.motionPhase[3]);
    for (int k = 0; k < envelopePhaseCount; ++k) {
        advance(s.motion.envelopePhase[k], s.setup.envelopeRate[k], dt);
        const float c = std::cos(s.motion.envelopePhase[k]);
        envelope_[k] = c * c;
    }
}

void Scene::drawFrame() {
    drawFeedbackPass();
    drawScreenPass();
}

void Scene::drawFeedbackPass() {
    drawFeedbackSquare();
    readFeedbackSquare();
}

Viewport Scene::feedbackSquare() const {
    return {state_.setup.viewport.x, state_.setup.viewport.y, state_.setup.feedbackSize, state_.setup.feedbackSize};
}

void Scene::drawFeedbackSquare() {
    advanceMotion();
    // In the square at the viewport's lower-left corner: last picture dimmed
    // and moved, sheets on top.
    drawLayers(feedbackSquare(), feedbackFieldOfView);
}

void Scene::readFeedbackSquare() {
    SceneState& s = state_;
    const Viewport square = feedbackSquare();
    // Through client memory: a copy inside GL frames no faster on Mesa and
    // costs its first frame a blit program of its own.
    glReadBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, s.setup.feedbackTexture);
    glReadPixels(square.x, square.y, square.width, square.height, GL_RGB, GL_UNSIGNED_BYTE,
                 s.motion.feedbackPixels.data());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, square.width, square.height, GL_RGB, GL_UNSIGNED_BYTE,
                    s.motion.feedbackPixels.data());
}

void Scene::drawScreenPass() {
    // Over the whole viewport: the feedback picture magnified, sheets sharp on top.
    drawLayers(state_.setup.viewport, screenFieldOfView);
}

void Scene::drawLayers(const Viewport& area, double fieldOfView) {
    const float b = state_.setup.feedbackBrightness;
    glViewport(area.x, area.y, area.width, area.height);
    projection(fieldOfView);
    glColor3f(b, b, b);
    glBindTexture(GL_TEXTURE_2D, state_.setup.feedbackTexture);
    drawQuadOver(area, fieldOfView);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawSheets();
}

SceneSet::SceneSet(std::int32_t windowWidth, std::int32_t windowHeight, const std::vector<PixelRect>& monitors,
                   FramePlatform& platform, SceneInputs& inputs)
    : platform_(platform) {
    const std::vector<PixelRect> rects = sceneRects(windowWidth, windowHeight, monitors);
    for (const PixelRect& rect : rects) {
        scenes_.push_back(std::make_unique<Scene>(viewportOf(rect, windowHeight), platform, inputs));
    }
    for (const PixelRect& rect : uncoveredRects(windowWidth, windowHeight, rects)) {
        blackAreas_.push_back(viewportOf(rect, windowHeight));
    }
}

void SceneSet::drawFrame() {
    // Every feedback square lies inside its own scene's viewport, so they can
    // all be drawn before any is read back: the read-backs then wait for the
    // GL once however many monitors there are. Only a square that overlaps
    // one not yet read (monitors that overlap each other) waits for those.
    std::size_t unread = 0;
    for (std::size_t i = 0; i < scenes_.size(); ++i) {
        const Viewport square = scenes_[i]->feedbackSquare();
        for (std::size_t j = unread; j < i; ++j) {
            if (overlap(square, scenes_[j]->feedbackSquare())) {
                readFeedbackSquares(unread, i);
                unread = i;
                break;
            }
        }
        scenes_[i]->drawFeedbackSquare();
    }
    readFeedbackSquares(unread, scenes_.size());
    for (const auto& scene : scenes_) {
        scene->drawScreenPass();
    }
    for (const Viewport& area : blackAreas_) {
        clearArea(area);
    }
    glFlush();
    platform_.swapBuffers();
}

void SceneSet::readFeedbackSquares(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
        scenes_[i]->readFeedbackSquare();
    }
}

} // namespace solvane
