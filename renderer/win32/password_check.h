#pragma once

#include <windows.h>

namespace solvane {

// The screen-saver password check of Windows 95, 98 and Me: the platform's
// PASSWORD.CPL, loaded from the system folder for each check. Elsewhere, or
// without the module or its entry, the saver may close unasked.
class PasswordCheck {
public:
    // Nonzero when the saver owned by `window` may close. The module's
    // dialog runs its own message loop inside this call.
    BOOL verifySaverPassword(HWND window);

    // While the dialog shows no frames are drawn and input to the saver
    // window gets default handling.
    bool passwordDialogOpen() const { return passwordDialogOpen_; }

private:
    bool passwordDialogOpen_ = false;
};

} // namespace solvane
