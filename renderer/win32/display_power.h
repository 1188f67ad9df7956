#pragma once

#include <windows.h>

namespace solvane {

// Whether the console's display is lit, as the system tells a window that
// registered for it. Where the system cannot tell (before Windows 8, or a
// registration refused) the display counts as lit.
class DisplayPower {
public:
    explicit DisplayPower(HWND window);
    ~DisplayPower();
    DisplayPower(const DisplayPower&) = delete;
    DisplayPower& operator=(const DisplayPower&) = delete;

    // Reads a WM_POWERBROADCAST; true when it reported the display's state.
    bool onPowerBroadcast(WPARAM event, LPARAM setting);
    // Off means dark; dimmed still shows the picture.
    bool lit() const { return lit_; }

private:
    HPOWERNOTIFY registration_ = nullptr;
    bool lit_ = true;
};

} // namespace solvane
