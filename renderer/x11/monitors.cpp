#include "monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace solvane {

namespace {

std::vector<PixelRect> randrMonitors(Display* display, Window root) {
    std::vector<PixelRect> rects;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105) {
        return rects; // monitors came with RandR 1.5
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        rects.push_back({m.x, m.y, m.x + m.width, m.y + m.height});
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    return rects;
}

std::vector<PixelRect> xineramaScreens(Display* display) {
    std::vector<PixelRect> rects;
    int eventBase = 0;
    int errorBase = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display)) {
        return rects;
    }
    int count = 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    for (int i = 0; i < count; ++i) {
        const XineramaScreenInfo& s = screens[i];
        rects.push_back({s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height});
    }
    if (screens != nullptr) {
        XFree(screens);
    }
    return rects;
}

} // namespace

std::vector<PixelRect> screenMonitors(Display* display, Window root) {
    std::vector<PixelRect> rects = randrMonitors(display, root);
    return rects.empty() ? xineramaScreens(display) : rects;
}

} // namespace solvane
