// solvane: the saver's scene on X11 with GLX, in a window it is given, in the
// root window, or full-screen in a window of its own; one picture per monitor
// where it covers the whole screen.
#include "monitors.h"
#include "options.h"
#include "scene/leave_rule.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"
#include "x_input.h"
#include "x_resources.h"

#include <GL/gl.h>
#include <X11/extensions/Xrandr.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace solvane {

namespace {

volatile std::sig_atomic_t stopRequested = 0;
// Set by the X error handler: the window we draw into has gone. Other
// errors (a BadMatch while a window is being resized, say) pass.
bool windowLost = false;

void onSignal(int) { stopRequested = 1; }

int onXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        windowLost = true;
    }
    return 0;
}

class GlxPlatform : public FramePlatform {
public:
    GlxPlatform(Display* display, Window window, const HostOptions& options)
        : display_(display), window_(window), options_(options), start_(std::chrono::steady_clock::now()) {}

    std::uint32_t timeMillis() override {
        if (options_.stepMillis) {
            return fixedClock;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }

    void swapBuffers() override {
        ++frames;
        if (options_.dumpAfter > 0 && frames == options_.dumpAfter) {
            dumped = dumpBackBuffer();
        }
        glXSwapBuffers(display_, window_);
    }

    std::uint32_t fixedClock = 0;
    int frames = 0;
    bool dumped = false;
    int width = 0;
    int height = 0;

private:
    bool dumpBackBuffer() const {
        std::vector<unsigned char> rows(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
        std::FILE* file = std::fopen(options_.dumpPath.c_str(), "wb");
        if (file == nullptr) {
            return false;
        }
        const std::size_t row = static_cast<std::size_t>(width) * 3;
        bool complete = true;
        for (int y = height - 1; y >= 0; --y) {
            complete = complete && std::fwrite(&rows[static_cast<std::size_t>(y) * row], 1, row, file) == row;
        }
        return std::fclose(file) == 0 && complete;
    }

    Display* display_;
    Window window_;
    const HostOptions& options_;
    std::chrono::steady_clock::time_point start_;
};

struct Target {
    Window window = 0;
    std::unique_ptr<OwnWindow> own;
    VisualInfoHandle visual;
    int width = 0;
    int height = 0;
    // Own window and root cover the whole screen, a picture per monitor;
    // a given window is one picture (a daemon starts one program a monitor).
    bool wholeScreen = false;
};

std::optional<Target> findTarget(Display* display, const HostOptions& options) {
    Target target;
    const int screen = DefaultScreen(display);
    if (options.mode == HostMode::OwnWindow) {
        int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 24, None};
        target.visual.reset(glXChooseVisual(display, screen, wanted));
        if (!target.visual) {
            std::fprintf(stderr, "solvane: no double-buffered RGB visual on this display\n");
            return std::nullopt;
        }
        target.width = DisplayWidth(display, screen);
        target.height = DisplayHeight(display, screen);
        target.own = std::make_unique<OwnWindow>(display, *target.visual, target.width, target.height);
        target.window = target.own->window();
        target.wholeScreen = true;
        return target;
    }
    target.wholeScreen = options.mode == HostMode::Root;
    target.window = options.mode == HostMode::Root ? RootWindow(display, screen) : options.windowId;
    XWindowAttributes attributes{};
    windowLost = false;
    const Status known = XGetWindowAttributes(display, target.window, &attributes);
    XSync(display, False);
    if (!known || windowLost) {
        std::fprintf(stderr, "solvane: 0x%lx is not a window\n", target.window);
        return std::nullopt;
    }
    if (attributes.c_class == InputOnly) {
        std::fprintf(stderr, "solvane: window 0x%lx is input-only: OpenGL cannot draw into it\n", target.window);
        return std::nullopt;
    }
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    target.visual.reset(XGetVisualInfo(display, VisualIDMask, &pattern, &count));
    if (!target.visual) {
        std::fprintf(stderr, "solvane: window 0x%lx has no usable visual\n", target.window);
        return std::nullopt;
    }
    // Follow the window's size and learn when it goes; the root has no end.
    XSelectInput(display, target.window, StructureNotifyMask | ExposureMask);
    target.width = attributes.width;
    target.height = attributes.height;
    return target;
}

struct EventState {
    bool focused = false;
    bool relayout = false;
    int randrEventBase = -1; // RandR's first event number, when it tells of screen changes
};

// Handles the queued events; false when the saver is to end.
bool handleEvents(Display* display, Target& target, std::optional<PointerLeaveRule>& rules, EventState& state) {
    while (XPending(display) > 0) {
        XEvent event{};
        XNextEvent(display, &event);
        if (state.randrEventBase >= 0 && event.type == state.randrEventBase + RRScreenChangeNotify) {
            // Monitors came, went or moved: cover the new screen, a picture each.
            XRRUpdateConfiguration(&event);
            const int screen = DefaultScreen(display);
            if (target.own) {
                XMoveResizeWindow(display, target.window, 0, 0, static_cast<unsigned>(DisplayWidth(display, screen)),
                                  static_cast<unsigned>(DisplayHeight(display, screen)));
            }
            state.relayout = true;
            continue;
        }
        switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == target.window) {
                return false;
            }
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == target.window &&
                (event.xconfigure.width != target.width || event.xconfigure.height != target.height)) {
                target.width = event.xconfigure.width;
                target.height = event.xconfigure.height;
                state.relayout = true;
            }
            break;
        case KeyPress:
            return !target.own;
        case ButtonPress:
            if (target.own && buttonEnds(event.xbutton.button)) {
                return false;
            }
            break;
        case MotionNotify:
            if (target.own && rules &&
                rules->moved(event.xmotion.x_root, event.xmotion.y_root) == PointerLeaveRule::Move::ends) {
                return false;
            }
            break;
        case FocusIn:
            state.focused = true;
            break;
        case FocusOut:
            // Grabs and moves inside the window are not a change of focus.
            if (target.own && state.focused && event.xfocus.mode == NotifyNormal &&
                event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    return true;
}

// Texture names GL still knows among those up to `highest`.
int liveTextures(unsigned int highest) {
    int live = 0;
    for (unsigned int name = 1; name <= highest; ++name) {
        live += glIsTexture(name) ? 1 : 0;
    }
    return live;
}

int run(const HostOptions& options) {
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "solvane: cannot open display %s\n", name != nullptr ? name : "(DISPLAY is not set)");
        return 1;
    }
    Display* const x = display.get();
    XSetErrorHandler(onXError);
    // Without GLX on the server Mesa's GLX calls fail badly; say so instead.
    int glxErrorBase = 0;
    int glxEventBase = 0;
    if (!glXQueryExtension(x, &glxErrorBase, &glxEventBase)) {
        std::fprintf(stderr, "solvane: the display %s has no OpenGL (GLX)\n", DisplayString(x));
        return 1;
    }
    std::optional<Target> target = findTarget(x, options);
    if (!target) {
        return 2;
    }
    const GlxContext context(x, target->visual.get(), target->window);
    if (!context.current()) {
        std::fprintf(stderr, "solvane: no OpenGL context for window 0x%lx\n", target->window);
        return 1;
    }
    // Yield to any other work on the machine, as a screen saver should.
    if (nice(19) == -1) {
        std::perror("solvane: nice");
    }

    const Window root = RootWindow(x, DefaultScreen(x));
    EventState events;
    int randrErrorBase = 0;
    if (target->wholeScreen && XRRQueryExtension(x, &events.randrEventBase, &randrErrorBase)) {
        XRRSelectInput(x, root, RRScreenChangeNotifyMask);
    } else {
        events.randrEventBase = -1;
    }

    std::optional<PointerLeaveRule> rules;
    if (target->own) {
        Window rootReturn = 0;
        Window child = 0;
        int pointerX = 0;
        int pointerY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(x, target->window, &rootReturn, &child, &pointerX, &pointerY, &windowX, &windowY, &mask);
        rules.emplace(pointerX, pointerY);
    }

    GlxPlatform platform(x, target->window, options);
    // A daemon starts one program a monitor in the same second: the process id
    // keeps their pictures apart.
    SceneInputs inputs{fixedSceneSettings,
                       SceneRandom::fromTime(options.seed ? *options.seed
                                                          : static_cast<std::uint32_t>(std::time(nullptr)) ^
                                                                (static_cast<std::uint32_t>(getpid()) * 2654435761u))};
    std::unique_ptr<SceneSet> scenes;
    unsigned int highestTexture = 0;
    auto layOut = [&] {
        scenes.reset();
        platform.width = target->width;
        platform.height = target->height;
        const std::vector<PixelRect> monitors =
            target->wholeScreen ? screenMonitors(x, root) : std::vector<PixelRect>{};
        scenes = std::make_unique<SceneSet>(target->width, target->height, monitors, platform, inputs);
        for (std::size_t i = 0; i < scenes->size(); ++i) {
            highestTexture = std::max(highestTexture, scenes->scene(i).state().feedbackTexture);
        }
        if (options.stats) {
            std::fprintf(stderr, "solvane: %dx%d, %zu scenes, %d textures\n", target->width, target->height,
                         scenes->size(), liveTextures(highestTexture));
        }
    };
    layOut();

    auto fpsStart = std::chrono::steady_clock::now();
    int fpsFrames = 0;
    int status = 0;
    while (!stopRequested) {
        if (!handleEvents(x, *target, rules, events) || windowLost) {
            break;
        }
        if (events.relayout) {
            events.relayout = false;
            if (target->wholeScreen && !target->own) {
                target->width = DisplayWidth(x, DefaultScreen(x));
                target->height = DisplayHeight(x, DefaultScreen(x));
            }
            layOut();
        }
        scenes->drawFrame();
        XSync(x, False);
        if (options.stepMillis) {
            platform.fixedClock += *options.stepMillis;
        }
        if (options.dumpAfter > 0 && platform.frames >= options.dumpAfter) {
            status = platform.dumped ? 0 : 1;
            break;
        }
        ++fpsFrames;
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - fpsStart).count();
        if (options.showFps && seconds >= 1.0) {
            std::fprintf(stderr, "solvane: %.1f fps\n", fpsFrames / seconds);
            fpsFrames = 0;
            fpsStart = now;
        }
    }
    scenes.reset(); // while the context is current
    return status;
}

} // namespace

} // namespace solvane

int main(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto options = solvane::parseHostOptions(arguments, std::getenv("XSCREENSAVER_WINDOW"), error);
    if (!options) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), solvane::hostUsage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(solvane::hostUsage().c_str(), stdout);
        return 0;
    }
    std::signal(SIGTERM, solvane::onSignal);
    std::signal(SIGINT, solvane::onSignal);
    std::signal(SIGHUP, solvane::onSignal);
    return solvane::run(*options);
}
