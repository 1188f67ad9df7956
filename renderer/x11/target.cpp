#include "x11/target.h"

#include <GL/glx.h>

#include <cstdio>

namespace solvane {

namespace {

std::optional<Target> ownWindow(Display* display) {
    Target target;
    const int screen = DefaultScreen(display);
    int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
                    8,        GLX_DEPTH_SIZE,   24,           None};
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

std::optional<Target> existingWindow(Display* display, Window window, bool wholeScreen, XErrorJudge& errors) {
    Target target;
    target.window = window;
    target.wholeScreen = wholeScreen;
    XWindowAttributes attributes{};
    errors.watch(window);
    const Status known = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    if (!known || errors.targetLost()) {
        std::fprintf(stderr, "solvane: 0x%lx is not a window\n", window);
        return std::nullopt;
    }
    if (attributes.c_class == InputOnly) {
        std::fprintf(stderr, "solvane: window 0x%lx is input-only: OpenGL cannot draw into it\n", window);
        return std::nullopt;
    }
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    target.visual.reset(XGetVisualInfo(display, VisualIDMask, &pattern, &count));
    if (!target.visual) {
        std::fprintf(stderr, "solvane: window 0x%lx has no usable visual\n", window);
        return std::nullopt;
    }
    // Follow the window's size and learn when it goes; the root has no end.
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    target.width = attributes.width;
    target.height = attributes.height;
    return target;
}

} // namespace

void Target::followScreen(Display* display) {
    if (wholeScreen && !own) {
        width = DisplayWidth(display, DefaultScreen(display));
        height = DisplayHeight(display, DefaultScreen(display));
    }
}

PixelRect Target::rootArea(Display* display) const {
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!wholeScreen) {
        XTranslateCoordinates(display, window, RootWindow(display, visual->screen), 0, 0, &x, &y, &child);
    }
    return {x, y, x + width, y + height};
}

std::optional<Target> findTarget(Display* display, const HostOptions& options, XErrorJudge& errors) {
    std::optional<Target> target;
    switch (options.mode) {
    case HostMode::OwnWindow:
        target = ownWindow(display);
        break;
    case HostMode::Root:
        target = existingWindow(display, RootWindow(display, DefaultScreen(display)), true, errors);
        break;
    case HostMode::GivenWindow:
        target = existingWindow(display, options.windowId, false, errors);
        break;
    }
    if (target) {
        errors.watch(target->window);
    }
    return target;
}

} // namespace solvane
