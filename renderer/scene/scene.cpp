#include "scene.h"

#include "gl_api.h"
#include "random.h"
#include "scene_settings.h"

#include <cmath>
#include <numbers>

namespace solvane {

namespace {

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

SceneState state;

// Largest power of two not above 2^log2 that fits both sides. The exponent
// never drops below 0, so a zero-sized client area ends at a 1 x 1 texture.
std::int32_t fitFeedbackSize(std::int32_t& log2, std::int32_t width, std::int32_t height) {
    std::int32_t size = std::int32_t{1} << log2;
    while ((size > width || size > height) && log2 > 0) {
        --log2;
        size = std::int32_t{1} << log2;
    }
    return size;
}

float rateBetween(float base) { return (base + nextRandomUnit() * base) * static_cast<float>(sceneSettings().feedbackSpeed); }

void advance(float& phase, float rate, float seconds) {
    phase += seconds * rate;
    if (phase > twoPi) {
        phase -= twoPi;
    }
}

void feedbackQuad(float envelopeXY, float envelopeZ, float envelopeSpin, float dx, float dy, float dz, float spin) {
    const float a = state.aspectRatio;
    glPushMatrix();
    glTranslatef(envelopeXY * dx, envelopeXY * dy, envelopeZ * dz);
    glRotatef(envelopeSpin * spin, 0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(-0.5f, -0.5f);
    glVertex3f(-2.0f * a, -2.0f, 1.25f);
    glTexCoord2f(1.5f, -0.5f);
    glVertex3f(2.0f * a, -2.0f, 1.25f);
    glTexCoord2f(-0.5f, 1.5f);
    glVertex3f(-2.0f * a, 2.0f, 1.25f);
    glTexCoord2f(1.5f, 1.5f);
    glVertex3f(2.0f * a, 2.0f, 1.25f);
    glEnd();
    glPopMatrix();
}

void drawSheets() {
    for (int s = 0; s < state.sheetCount; ++s) {
        state.sheets[s].draw();
    }
}

void projection(double fieldOfView) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, state.aspectRatio, 0.01, 20.0);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void setupScene(const ClientRect& client, FramePlatform& platform) {
    state = SceneState{};
    state.platform = &platform;
    SceneSettings& settings = sceneSettings();

    state.viewport = {client.left, client.top, client.right - client.left, client.bottom - client.top};
    glViewport(state.viewport.x, state.viewport.y, state.viewport.width, state.viewport.height);
    // A zero-sized client area would divide by zero; it draws as a square.
    state.aspectRatio = (client.right > 0 && client.bottom > 0)
                            ? static_cast<float>(client.right) / static_cast<float>(client.bottom)
                            : 1.0f;

    projection(20.0);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);

    // Tight RGB rows whatever the side, so a side below 4 stays inside the buffer.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    const std::int32_t size =
        fitFeedbackSize(settings.feedbackSizeLog2, state.viewport.width, state.viewport.height);
    state.feedbackSize = size;
    glEnable(GL_TEXTURE_2D);
    // Zero-filled, so the first frame re-draws a defined black texture.
    state.feedbackPixels.assign(static_cast<std::size_t>(size) * size * 3, 0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    state.feedbackTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, state.feedbackPixels.data());

    state.motionRate[0] = rateBetween(0.025f);
    state.motionRate[1] = rateBetween(0.05f);
    state.motionRate[2] = rateBetween(0.05f);
    state.motionRate[3] = rateBetween(0.1f);
    for (float& rate : state.envelopeRate) {
        rate = rateBetween(0.0025f);
    }

    state.sheetCount = settings.sheetCount;
    state.sheets.reset(new Sheet[static_cast<std::size_t>(state.sheetCount)]);
}

void teardownScene() {
    state.sheets.reset();
    state.sheetCount = 0;
    state.feedbackPixels = {};
    state.platform = nullptr;
}

void drawFrame() {
    FramePlatform& platform = *state.platform;
    if (!state.clockStarted) {
        state.lastTime = platform.timeMillis();
        state.clockStarted = true;
    }
    const std::uint32_t previous = state.lastTime;
    const std::uint32_t now = platform.timeMillis();
    state.lastTime = now;
    // A wrapped counter keeps the previous step instead of a huge one.
    if (now >= previous) {
        state.frameSeconds = static_cast<float>(now - previous) * 0.001f;
    }
    const float dt = state.frameSeconds;

    for (int s = 0; s < state.sheetCount; ++s) {
        state.sheets[s].update(dt);
    }

    if (!state.brightnessSet) {
        state.feedbackBrightness = static_cast<float>(sceneSettings().feedbackPercent) * 0.00990099f;
        state.brightnessSet = true;
    }

    for (int k = 0; k < motionPhaseCount; ++k) {
        advance(state.motionPhase[k], state.motionRate[k], dt);
    }
    const float spin = 30.0f * std::cos(state.motionPhase[0]);
    const float dx = 0.2f * std::cos(state.motionPhase[1]);
    const float dy = 0.2f * std::cos(state.motionPhase[2]);
    const float dz = 0.8f * std::cos(state.motionPhase[3]);
    float envelope[envelopePhaseCount];
    for (int k = 0; k < envelopePhaseCount; ++k) {
        advance(state.envelopePhase[k], state.envelopeRate[k], dt);
        const float c = std::cos(state.envelopePhase[k]);
        envelope[k] = c * c;
    }

    const float b = state.feedbackBrightness;
    const std::int32_t size = state.feedbackSize;

    // Feedback pass: last picture dimmed and moved, sheets on top, read back.
    glViewport(0, 0, size, size);
    projection(30.0);
    // glClear ignores the viewport; the scissor keeps this clear to the
    // square instead of a whole extra screen fill (the screen pass clears all).
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, size, size);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColor3f(b, b, b);
    glBindTexture(GL_TEXTURE_2D, state.feedbackTexture);
    feedbackQuad(envelope[1], envelope[2], envelope[0], dx, dy, dz, spin);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawSheets();
    glReadBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, state.feedbackTexture);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, state.feedbackPixels.data());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, state.feedbackPixels.data());

    // Screen pass: the feedback picture magnified, sheets sharp on top.
    const Viewport& v = state.viewport;
    glViewport(v.x, v.y, v.width, v.height);
    projection(20.0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(b, b, b);
    feedbackQuad(envelope[1], envelope[2], envelope[0], dx, dy, dz, spin);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawSheets();

    glFlush();
    platform.swapBuffers();
}

const SceneState& sceneState() { return state; }

} // namespace solvane
