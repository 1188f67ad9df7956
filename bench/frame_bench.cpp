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

// Clear, one full-screen quad textured with the feedback texture, one
// full-screen additive untextured quad, finish.
void floorFrame(unsigned int texture) {
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
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
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFinish();
}

// Median milliseconds of one frame of a window of scenes, one per monitor.
double medianFrame(int width, int height, const std::vector<solvane::PixelRect>& monitors, int rounds) {
    solvane::OffscreenContext context(width, height);
    std::uint32_t clock = 0;
    solvane::OffscreenPlatform platform([&clock] { return clock; });
    solvane::seedSceneRandom(2024);
    solvane::SceneSet scenes(width, height, monitors, platform);
    std::vector<double> frames;
    for (int i = 0; i < rounds + 20; ++i) {
        clock += 16;
        const auto start = Clock::now();
        scenes.drawFrame();
        if (i >= 20) {
            frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    return median(frames);
}

// Two monitors (1920x1080 and 1280x720 to its right) against one: the cost
// should follow the pixels drawn.
int monitorsBench(int rounds) {
    std::vector<double> one;
    std::vector<double> two;
    for (int round = 0; round < 3; ++round) { // alternate, so both see the same machine
        one.push_back(medianFrame(1920, 1080, {}, rounds / 3 + 1));
        two.push_back(medianFrame(3200, 1080, {{0, 0, 1920, 1080}, {1920, 0, 3200, 720}}, rounds / 3 + 1));
    }
    const double pixelsOne = 1920.0 * 1080.0;
    const double pixelsTwo = pixelsOne + 1280.0 * 720.0;
    const double ratio = median(one) / median(two);
    std::printf("one monitor 1920x1080:          %8.3f ms\n", median(one));
    std::printf("two monitors 1920x1080+1280x720: %8.3f ms\n", median(two));
    std::printf("fps two / one: %.3f (goal: at least 0.9 x pixels one / two = %.3f)\n", ratio,
                0.9 * pixelsOne / pixelsTwo);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int width = 1920;
    const int height = 1080;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

    solvane::OffscreenContext context(width, height);
    if (!context.valid()) {
        std::fprintf(stderr, "frame_bench: no offscreen context\n");
        return 1;
    }
    std::uint32_t clock = 0;
    solvane::OffscreenPlatform platform([&clock] { return clock; });
    solvane::assignSceneSettings();
    solvane::seedSceneRandom(2024);
    solvane::SceneSet scenes(width, height, {}, platform);
    const unsigned int texture = scenes.scene(0).state().feedbackTexture;

    // Warm both paths up, then alternate them so that both see the same machine.
    for (int i = 0; i < 20; ++i) {
        scenes.drawFrame();
        floorFrame(texture);
    }
    std::vector<double> frames;
    std::vector<double> floors;
    for (int i = 0; i < rounds; ++i) {
        clock += 16;
        auto start = Clock::now();
        scenes.drawFrame();
        frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        floorFrame(texture);
        floors.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

    const double frame = median(frames);
    const double floor = median(floors);
    std::printf("offscreen %dx%d, %d rounds, median of each\n", width, height, rounds);
    std::printf("two-pass frame: %8.3f ms\n", frame);
    std::printf("floor frame:    %8.3f ms\n", floor);
    std::printf("ratio frame / floor: %.3f (goal: at most 1.2)\n", frame / floor);
    return monitorsBench(rounds);
}
