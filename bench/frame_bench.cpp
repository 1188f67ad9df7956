// The whole two-pass frame at full-HD offscreen against the least GL work any
// frame of this picture needs, measured side by side in one run.
#include "offscreen/offscreen_context.h"
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Clear, then per monitor one full quad textured with the feedback texture
// and one full additive untextured quad, finish: the least GL work any frame
// of this picture needs on those monitors.
void floorFrame(int windowHeight, const std::vector<solvane::PixelRect>& monitors, unsigned int texture) {
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (const solvane::PixelRect& monitor : monitors) {
        const solvane::Viewport v = solvane::viewportOf(monitor, windowHeight);
        glViewport(v.x, v.y, v.width, v.height);
        glColor3f(0.8f, 0.8f, 0.8f);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0, 0);
        glVertex2f(-1, -1);
        glTexCoord2f(1, 0);
        glVertex2f(1, -1);
        glTexCoord2f(0, 1);
        glVertex2f(-1, 1);
        glTexCoord2f(1, 1);
        glVertex2f(1, 1);
        glEnd();
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor3f(0.1f, 0.05f, 0.02f);
        glBegin(GL_TRIANGLE_STRIP);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(-1, 1);
        glVertex2f(1, 1);
        glEnd();
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFinish();
}

struct Layout {
    const char* name;
    int width, height;
    std::vector<solvane::PixelRect> monitors;
    double pixels() const {
        double sum = 0;
        for (const auto& m : monitors) {
            sum += static_cast<double>(m.width()) * m.height();
        }
        return sum;
    }
};

struct Medians {
    double frame, floor;
};

// Median milliseconds of one frame of a window of scenes, one per monitor,
// and of the floor frame on the same monitors, alternated in one context.
Medians measure(const Layout& layout, int rounds) {
    solvane::OffscreenContext context(layout.width, layout.height);
    std::uint32_t clock = 0;
    solvane::OffscreenPlatform platform([&clock] { return clock; });
    solvane::SceneInputs inputs{solvane::fixedSceneSettings, solvane::SceneRandom::fromTime(2024)};
    solvane::SceneSet scenes(layout.width, layout.height, layout.monitors, platform, inputs);
    const unsigned int texture = scenes.scene(0).state().feedbackTexture;
    std::vector<double> frames;
    std::vector<double> floors;
    for (int i = 0; i < rounds + 20; ++i) { // the first 20 warm both up
        clock += 16;
        auto start = Clock::now();
        scenes.drawFrame();
        const double frame = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        start = Clock::now();
        floorFrame(layout.height, layout.monitors, texture);
        const double floor = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (i >= 20) {
            frames.push_back(frame);
            floors.push_back(floor);
        }
    }
    return {median(frames), median(floors)};
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const Layout one{"one monitor 1920x1080", 1920, 1080, {{0, 0, 1920, 1080}}};
    const Layout two{"two monitors 1920x1080+1280x720", 3200, 1080, {{0, 0, 1920, 1080}, {1920, 0, 3200, 720}}};
    {
        solvane::OffscreenContext probe(64, 64);
        if (!probe.valid()) {
            std::fprintf(stderr, "frame_bench: no offscreen context\n");
            return 1;
        }
    }
    // Alternate the layouts in three rounds, so that both see the same machine.
    std::vector<double> frames[2];
    std::vector<double> floors[2];
    for (int round = 0; round < 3; ++round) {
        int index = 0;
        for (const Layout* layout : {&one, &two}) {
            const Medians m = measure(*layout, rounds / 3 + 1);
            frames[index].push_back(m.frame);
            floors[index].push_back(m.floor);
            ++index;
        }
    }
    std::printf("offscreen, %d frames of each kind, medians\n", rounds);
    int index = 0;
    for (const Layout* layout : {&one, &two}) {
        const double frame = median(frames[index]);
        const double floor = median(floors[index]);
        std::printf("%s: two-pass frame %8.3f ms, floor frame %8.3f ms, ratio frame / floor %.3f (goal: at most 1.00)\n",
                    layout->name, frame, floor, frame / floor);
        ++index;
    }
    const double ratio = median(frames[0]) / median(frames[1]);
    std::printf("fps two / one: %.3f (goal: at least 0.9 x pixels one / two = %.3f)\n", ratio,
                0.9 * one.pixels() / two.pixels());
    return 0;
}
