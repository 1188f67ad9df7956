#include "x11/saver_main.h"

#include "scene/frame_pacer.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"
#include "x11/events.h"
#include "x11/frame_probe.h"
#include "x11/glx_context.h"
#include "x11/glx_platform.h"
#include "x11/input_wait.h"
#include "x11/monitors.h"
#include "x11/options.h"
#include "x11/server_round_trip.h"
#include "x11/stop_signals.h"
#include "x11/target.h"
#include "x11/x_errors.h"
#include "x11/x_resources.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace solvane {

namespace {

DisplayHandle openDisplay() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "solvane: cannot open display %s\n", name != nullptr ? name : "(DISPLAY is not set)");
    }
    return display;
}

// Without GLX on the server Mesa's GLX calls fail badly; say so instead.
bool hasGlx(Display* display, XErrorJudge& errors) {
    int errorBase = 0;
    int eventBase = 0;
    if (!glXQueryExtension(display, &errorBase, &eventBase)) {
        std::fprintf(stderr, "solvane: the display %s has no OpenGL (GLX)\n", DisplayString(display));
        return false;
    }
    errors.knowGlx(errorBase);
    return true;
}

// A daemon starts one program a monitor in the same second: the process id
// keeps their pictures apart.
std::uint32_t seedFor(const HostOptions& options) {
    if (options.seed) {
        return *options.seed;
    }
    return static_cast<std::uint32_t>(std::time(nullptr)) ^ (static_cast<std::uint32_t>(getpid()) * 2654435761u);
}

std::int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double refreshOf(Display* display, const Target& target) {
    return displayRefreshHz(display, RootWindow(display, target.visual->screen), target.rootArea(display));
}

// New scenes for the target's size and monitors, the old ones freed first.
void layOut(std::unique_ptr<SceneSet>& scenes, Display* display, const Target& target, FramePlatform& platform,
            SceneInputs& inputs, FrameProbe& probe) {
    scenes.reset();
    const std::vector<PixelRect> monitors = target.wholeScreen
                                                ? screenMonitors(display, RootWindow(display, DefaultScreen(display)))
                                                : std::vector<PixelRect>{};
    scenes = std::make_unique<SceneSet>(target.width, target.height, monitors, platform, inputs);
    probe.laidOut(target, *scenes);
}

} // namespace

int saverMain(const HostOptions& options, StopSignals& stop) {
    // Every step of the set-up asks the server something.
    std::optional<StopSignals::ServerWait> settingUp(std::in_place, stop);
    // Judges errors up to the last request, which closing the display sends.
    XErrorJudge errors;
    const DisplayHandle display = openDisplay();
    if (!display) {
        return 1;
    }
    Display* const x = display.get();
    if (!hasGlx(x, errors)) {
        return 1;
    }
    std::optional<Target> target = findTarget(x, options, errors);
    if (!target) {
        return 2;
    }
    GlxContext context(x, target->visual.get(), target->window);
    if (!context.current()) {
        std::fprintf(stderr, "solvane: no OpenGL context for window 0x%lx\n", target->window);
        return 1;
    }
    // One swap per refresh where the driver offers it; the pacer measures
    // whether it keeps to it.
    const char* swapControl = context.requestSwapInterval(options.unpaced ? 0 : 1);
    FramePacer pacer(refreshOf(x, *target), options.delayMicros);
    pacer.setDisplayPaced(!options.unpaced);
    // Yield to any other work on the machine, as a screen saver should. On
    // Linux this is the calling thread's: the stop watcher, started before,
    // keeps its priority, so that it can end the program in time.
    if (nice(19) == -1) {
        std::perror("solvane: nice");
    }
    EventState events = startEvents(x, *target);
    FrameProbe probe(options, x, errors);
    probe.pacing(swapControl, context.swapInterval(), pacer.refreshHz());
    GlxPlatform platform(x, *target, probe, stop);
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(seedFor(options))};
    ServerRoundTrip roundTrip(x, stop);
    std::unique_ptr<SceneSet> scenes;
    layOut(scenes, x, *target, platform, inputs, probe);
    settingUp.reset();

    for (;;) {
        {
            const StopSignals::ServerWait readingEvents(stop);
            if (stop.requested() || !handleEvents(x, *target, events) || errors.targetLost()) {
                break;
            }
            if (events.relayout) {
                events.relayout = false;
                target->followScreen(x);
                layOut(scenes, x, *target, platform, inputs, probe);
                pacer.setRefresh(refreshOf(x, *target));
            }
        }
        if (const std::int64_t wait = pacer.waitBefore(nowMicros()); wait > 0) {
            waitForInput(x, stop, wait);
            continue;
        }
        pacer.frameStarted(nowMicros());
        scenes->drawFrame();
        // Frames go no faster than the server takes them.
        if (!roundTrip.wait() || !probe.afterFrame()) {
            break;
        }
        pacer.frameShown(nowMicros());
    }
    scenes.reset(); // while the context is current
    return probe.finish(pacer.framesPacedHere());
}

} // namespace solvane
