#pragma once

#include <windows.h>

namespace solvane {

// The object behind a window created with the object as its creation
// parameter: attached at WM_NCCREATE, with its handle member set, and
// detached at WM_NCDESTROY, after which the window has no owner.
template <typename Owner>
Owner* windowOwner(HWND window, UINT message, LPARAM lParam, HWND Owner::*handle) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->*handle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        return owner;
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner != nullptr && message == WM_NCDESTROY) {
        owner->*handle = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return owner;
}

} // namespace solvane
