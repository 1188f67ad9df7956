// The whole two-pass frame at full-HD offscreen against two floors, measured
// side by side in one run: the picture floor (the feedback square drawn, read
// back and loaded, then one clamped textured quad over each monitor: the work
// this picture cannot do without) and the older clear-and-two-quads floor.
// The frame is also drawn without its sheets, which splits the gap over the
// picture floor into the sheets' cost and everything else.
#include "floors.h"
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
    double frame, frameWithoutSheets, pictureFloor, twoQuadFloor, sheetsOverViewports, sheetsInSquares;
};

// The scenes' sheets alone, as the screen pass (over each viewport) or the
// feedback pass (in each square) draws them, finished: where the sheets'
// share of a frame goes.
void drawSheetsAlone(const solvane::SceneSet& scenes, bool inSquares) {
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const solvane::Scene& scene = scenes.scene(i);
        const solvane::Viewport area = inSquares ? scene.feedbackSquare() : scene.state().setup.viewport;
        glViewport(area.x, area.y, area.width, area.height);
        scene.projection(inSquares ? solvane::Scene::feedbackFieldOfView : solvane::Scene::screenFieldOfView);
        for (const solvane::Sheet& sheet : scene.state().motion.sheets) {
            sheet.draw();
        }
    }
    glFinish();
}

template <typename Draw>
double millisOf(Draw&& draw) {
    const auto start = Clock::now();
    draw();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Median milliseconds of one frame of a window of scenes, one per monitor,
// of the same frame without sheets, and of both floor frames on the same
// monitors, alternated in one context.
Medians measure(const Layout& layout, int rounds) {
    solvane::OffscreenContext context(layout.width, layout.height);
    std::uint32_t clock = 0;
    solvane::OffscreenPlatform platform([&clock] { return clock; });
    solvane::SceneInputs inputs{solvane::fixedSceneSettings, solvane::SceneRandom::fromTime(2024)};
    solvane::SceneSet scenes(layout.width, layout.height, layout.monitors, platform, inputs);
    solvane::SceneSettings bare = solvane::fixedSceneSettings;
    bare.sheetCount = 0;
    solvane::SceneInputs bareInputs{bare, solvane::SceneRandom::fromTime(2024)};
    solvane::SceneSet withoutSheets(layout.width, layout.height, layout.monitors, platform, bareInputs);
    solvane::PictureFloor pictureFloor(layout.width, layout.height, layout.monitors,
                                       solvane::fixedSceneSettings.feedbackSizeLog2);
    const unsigned int texture = scenes.scene(0).state().setup.feedbackTexture;
    std::vector<double> kinds[6];
    for (int i = 0; i < rounds + 20; ++i) { // the first 20 warm all up
        clock += 16;
        const double times[6] = {
            millisOf([&] { scenes.drawFrame(); }),
            millisOf([&] { withoutSheets.drawFrame(); }),
            millisOf([&] {
                pictureFloor.draw();
                platform.swapBuffers();
            }),
            millisOf([&] {
                solvane::drawTwoQuadFloor(layout.height, layout.monitors, texture);
                platform.swapBuffers();
            }),
            millisOf([&] { drawSheetsAlone(scenes, false); }),
            millisOf([&] { drawSheetsAlone(scenes, true); }),
        };
        if (i >= 20) {
            for (int k = 0; k < 6; ++k) {
                kinds[k].push_back(times[k]);
            }
        }
    }
    return {median(kinds[0]), median(kinds[1]), median(kinds[2]), median(kinds[3]), median(kinds[4]), median(kinds[5])};
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
    std::vector<Medians> medians[2];
    for (int round = 0; round < 3; ++round) {
        int index = 0;
        for (const Layout* layout : {&one, &two}) {
            medians[index++].push_back(measure(*layout, rounds / 3 + 1));
        }
    }
    std::printf("offscreen, %d frames of each kind, medians; goals: frame / picture floor at most 1.05 on each\n",
                rounds);
    double frames[2] = {};
    int index = 0;
    for (const Layout* layout : {&one, &two}) {
        const auto of = [&](double Medians::*field) {
            std::vector<double> values;
            for (const Medians& m : medians[index]) {
                values.push_back(m.*field);
            }
            return median(values);
        };
        const double frame = of(&Medians::frame);
        const double bare = of(&Medians::frameWithoutSheets);
        const double picture = of(&Medians::pictureFloor);
        const double twoQuads = of(&Medians::twoQuadFloor);
        const double sheetsOver = of(&Medians::sheetsOverViewports);
        const double sheetsIn = of(&Medians::sheetsInSquares);
        const char* monitors = index == 0 ? "one monitor" : "two monitors";
        std::printf("%s: frame %.3f ms, frame without its sheets %.3f ms, picture floor %.3f ms, "
                    "clear-and-two-quads floor %.3f ms\n",
                    layout->name, frame, bare, picture, twoQuads);
        std::printf("gap over the picture floor, %s: %.3f ms, of which the sheets %.3f ms and the rest %.3f ms\n",
                    monitors, frame - picture, frame - bare, bare - picture);
        std::printf("the sheets drawn alone, %s: over the viewports %.3f ms, in the feedback squares %.3f ms\n",
                    monitors, sheetsOver, sheetsIn);
        std::printf("ratio frame / clear-and-two-quads floor, %s: %.3f\n", monitors, frame / twoQuads);
        std::printf("ratio frame / picture floor, %s: %.3f\n", monitors, frame / picture);
        frames[index++] = frame;
    }
    const double ratio = frames[0] / frames[1];
    std::printf("fps two / one: %.3f (goal: at least 0.9 x pixels one / two = %.3f)\n", ratio,
                0.9 * one.pixels() / two.pixels());
    return 0;
}
