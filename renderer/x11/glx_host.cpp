// solvane: the saver's scene on X11 with GLX, in a window it is given, in the
// root window, or full-screen in a window of its own.
#include "leave_rules.h"
#include "options.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace solvane {

namespace {

volatile std::sig_atomic_t stopRequested = 0;
// Set by the X error handler: the window we draw into has gone.
bool windowLost = false;

void onSignal(int) { stopRequested = 1; }

int onXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch) {
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
    bool own = false;
    XVisualInfo* visual = nullptr;
    int width = 0;
    int height = 0;
};

// A full-screen, override-redirect window with no cursor that takes the focus.
Window createOwnWindow(Display* display, XVisualInfo* visual, int width, int height) {
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.background_pixel = BlackPixel(display, visual->screen);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask | StructureNotifyMask | ExposureMask;
    const Window window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                        0, visual->depth, InputOutput, visual->visual,
                                        CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask,
                                        &attributes);
    XStoreName(display, window, "Solvane");
    static char empty[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display, window, empty, 1, 1);
    XColor black{};
    const Cursor invisible = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XDefineCursor(display, window, invisible);
    XFreePixmap(display, blank);
    XMapRaised(display, window);
    XSync(display, False);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    return window;
}

std::optional<Target> findTarget(Display* display, const HostOptions& options) {
    Target target;
    const int screen = DefaultScreen(display);
    if (options.mode == HostMode::OwnWindow) {
        int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 24, None};
        target.visual = glXChooseVisual(display, screen, wanted);
        if (target.visual == nullptr) {
            std::fprintf(stderr, "solvane: no double-buffered RGB visual on this display\n");
            return std::nullopt;
        }
        target.width = DisplayWidth(display, screen);
        target.height = DisplayHeight(display, screen);
        target.window = createOwnWindow(display, target.visual, target.width, target.height);
        target.own = true;
        return target;
    }
    target.window = options.mode == HostMode::Root ? RootWindow(display, screen) : options.windowId;
    XWindowAttributes attributes{};
    windowLost = false;
    const Status known = XGetWindowAttributes(display, target.window, &attributes);
    XSync(display, False);
    if (!known || windowLost) {
        std::fprintf(stderr, "solvane: 0x%lx is not a window\n", target.window);
        return std::nullopt;
    }
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    target.visual = XGetVisualInfo(display, VisualIDMask, &pattern, &count);
    if (target.visual == nullptr) {
        std::fprintf(stderr, "solvane: window 0x%lx has no usable visual\n", target.window);
        return std::nullopt;
    }
    // Follow the window's size and learn when it goes; the root has no end.
    XSelectInput(display, target.window, StructureNotifyMask | ExposureMask);
    target.width = attributes.width;
    target.height = attributes.height;
    return target;
}

// Handles the queued events; false when the saver is to end.
bool handleEvents(Display* display, Target& target, std::optional<LeaveRules>& rules, bool& focused,
                  bool& resized) {
    while (XPending(display) > 0) {
        XEvent event{};
        XNextEvent(display, &event);
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
                resized = true;
            }
            break;
        case KeyPress:
            return !target.own;
        case ButtonPress:
            if (target.own && LeaveRules::buttonEnds(event.xbutton.button)) {
                return false;
            }
            break;
        case MotionNotify:
            if (target.own && rules && rules->pointerMoved(event.xmotion.x_root, event.xmotion.y_root)) {
                return false;
            }
            break;
        case FocusIn:
            focused = true;
            break;
        case FocusOut:
            // Grabs and moves inside the window are not a change of focus.
            if (target.own && focused && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
                event.xfocus.detail != NotifyPointer) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    return true;
}

int run(const HostOptions& options) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "solvane: cannot open display %s\n", name != nullptr ? name : "(DISPLAY is not set)");
        return 1;
    }
    XSetErrorHandler(onXError);
    std::optional<Target> target = findTarget(display, options);
    if (!target) {
        XCloseDisplay(display);
        return 2;
    }
    GLXContext context = glXCreateContext(display, target->visual, nullptr, True);
    if (context == nullptr || !glXMakeCurrent(display, target->window, context)) {
        std::fprintf(stderr, "solvane: no OpenGL context for window 0x%lx\n", target->window);
        XCloseDisplay(display);
        return 1;
    }
    // Yield to any other work on the machine, as a screen saver should.
    if (nice(19) == -1) {
        std::perror("solvane: nice");
    }

    std::optional<LeaveRules> rules;
    if (target->own) {
        Window root = 0;
        Window child = 0;
        int x = 0;
        int y = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(display, target->window, &root, &child, &x, &y, &windowX, &windowY, &mask);
        rules.emplace(x, y);
    }

    GlxPlatform platform(display, target->window, options);
    platform.width = target->width;
    platform.height = target->height;
    assignSceneSettings();
    seedSceneRandom(options.seed ? *options.seed : static_cast<std::uint32_t>(std::time(nullptr)));
    setupScene({0, 0, target->width, target->height}, platform);

    bool focused = false;
    auto fpsStart = std::chrono::steady_clock::now();
    int fpsFrames = 0;
    int status = 0;
    while (!stopRequested) {
        bool resized = false;
        if (!handleEvents(display, *target, rules, focused, resized) || windowLost) {
            break;
        }
        if (resized) {
            teardownScene();
            assignSceneSettings();
            platform.width = target->width;
            platform.height = target->height;
            setupScene({0, 0, target->width, target->height}, platform);
        }
        drawFrame();
        XSync(display, False);
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

    teardownScene();
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    if (target->own) {
        XDestroyWindow(display, target->window);
    }
    XFree(target->visual);
    XCloseDisplay(display);
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
