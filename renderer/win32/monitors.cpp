#include "win32/monitors.h"

namespace solvane {

namespace {

struct Monitor {
    RECT rect;
    char device[CCHDEVICENAME];
};

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        Monitor found{info.rcMonitor, {}};
        lstrcpynA(found.device, info.szDevice, CCHDEVICENAME);
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(found);
    }
    return TRUE;
}

std::vector<Monitor> monitors() {
    std::vector<Monitor> found;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

std::vector<PixelRect> monitorRects(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::vector<PixelRect> rects;
    for (const Monitor& m : monitors()) {
        rects.push_back(
            {m.rect.left - origin.x, m.rect.top - origin.y, m.rect.right - origin.x, m.rect.bottom - origin.y});
    }
    return rects;
}

double displayRefreshHz(HWND window) {
    RECT covered{};
    GetWindowRect(window, &covered);
    DWORD highest = 0;
    for (const Monitor& m : monitors()) {
        RECT common{};
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        if (IntersectRect(&common, &covered, &m.rect) && EnumDisplaySettingsA(m.device, ENUM_CURRENT_SETTINGS, &mode) &&
            mode.dmDisplayFrequency > highest) {
            highest = mode.dmDisplayFrequency;
        }
    }
    return static_cast<double>(highest);
}

} // namespace solvane
