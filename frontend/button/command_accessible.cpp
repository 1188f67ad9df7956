#include "button/command_accessible.h"

#include "button/command.h"

namespace solvane {

HWND CommandAccessible::window() const { return button_.window(); }

std::wstring CommandAccessible::name(int) const { return button_.Caption(); }

long CommandAccessible::role(int) const { return ROLE_SYSTEM_PUSHBUTTON; }

long CommandAccessible::state(int) const {
    if (!button_.enabled()) {
        return STATE_SYSTEM_UNAVAILABLE;
    }
    return STATE_SYSTEM_FOCUSABLE | (GetFocus() == button_.window() ? STATE_SYSTEM_FOCUSED : 0);
}

std::wstring CommandAccessible::description(int) const { return button_.description(); }

std::wstring CommandAccessible::defaultAction(int) const { return L"押す"; }

bool CommandAccessible::doDefaultAction(int) {
    return button_.enabled() && PostMessageW(button_.window(), Command::DefaultActionMessage, 0, 0) != 0;
}

bool CommandAccessible::takeFocus() {
    if (!button_.enabled()) {
        return false;
    }
    SetFocus(button_.window());
    return GetFocus() == button_.window();
}

} // namespace solvane
