#include "settings_dialog/dialog_accessible.h"

#include "contract.h"
#include "settings_dialog/settings_dialog.h"

namespace solvane {

HWND DialogAccessible::window() const { return dialog_.window(); }

HWND DialogAccessible::partWindow(int part) const {
    switch (part) {
    case 1:
        return dialog_.panel();
    case 2:
        return dialog_.setButton().window();
    case 3:
        return dialog_.cancelButton().window();
    case 4:
        return dialog_.worksButton().window();
    default:
        return nullptr;
    }
}

std::wstring DialogAccessible::name(int) const { return contract::wide(contract::settingsDialogTitle).text; }

long DialogAccessible::role(int) const { return ROLE_SYSTEM_DIALOG; }

long DialogAccessible::state(int) const { return GetFocus() == window() ? STATE_SYSTEM_FOCUSED : 0; }

} // namespace solvane
