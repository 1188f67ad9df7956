#include "x11/monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

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

double modeRefreshHz(const XRRModeInfo& mode) {
    if (mode.dotClock == 0 || mode.hTotal == 0 || mode.vTotal == 0) {
        return 0;
    }
    double hz = static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * mode.vTotal);
    if ((mode.modeFlags & RR_DoubleScan) != 0) {
        hz /= 2;
    }
    if ((mode.modeFlags & RR_Interlace) != 0) {
        hz *= 2;
    }
    return hz;
}

bool overlaps(const PixelRect& a, const PixelRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

double displayRefreshHz(Display* display, Window root, const PixelRect& area) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 103) {
        return 0; // current screen resources came with RandR 1.3
    }
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) {
        return 0;
    }
    double highest = 0;
    for (int c = 0; c < resources->ncrtc; ++c) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[c]);
        if (crtc == nullptr) {
            continue;
        }
        const PixelRect shown{crtc->x, crtc->y, crtc->x + static_cast<std::int32_t>(crtc->width),
                              crtc->y + static_cast<std::int32_t>(crtc->height)};
        for (int m = 0; crtc->mode != None && m < resources->nmode; ++m) {
            if (resources->modes[m].id == crtc->mode && overlaps(shown, area)) {
                highest = std::max(highest, modeRefreshHz(resources->modes[m]));
            }
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return highest;
}

std::vector<PixelRect> screenMonitors(Display* display, Window root) {
    std::vector<PixelRect> rects = randrMonitors(display, root);
    return rects.empty() ? xineramaScreens(display) : rects;
}

} // namespace solvane
