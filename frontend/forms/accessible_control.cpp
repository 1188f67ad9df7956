#include "forms/accessible_control.h"

#include <utility>

namespace solvane {

namespace {

constexpr wchar_t ownerProperty[] = L"Solvane.AccessibleControl";

} // namespace

AccessibleControl::AccessibleControl(HWND window, std::wstring name, long role, HWND part)
    : window_(window), name_(std::move(name)), role_(role), part_(part) {
    if (window_ == nullptr || !SetPropW(window_, ownerProperty, this)) {
        window_ = nullptr;
        return;
    }
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleControl::procedure)));
}

AccessibleControl::~AccessibleControl() { release(); }

// Gives the window its own procedure back, and readers holding the object
// an error from now on.
void AccessibleControl::release() {
    answer_.disconnect();
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropW(window_, ownerProperty);
        window_ = nullptr;
    }
}

long AccessibleControl::state(int) const {
    if (!IsWindowEnabled(window_)) {
        return STATE_SYSTEM_UNAVAILABLE;
    }
    HWND focus = GetFocus();
    const bool focused = focus != nullptr && (focus == window_ || IsChild(window_, focus));
    return STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
}

std::wstring AccessibleControl::value(int) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool AccessibleControl::takeFocus() {
    if (!IsWindowEnabled(window_)) {
        return false;
    }
    SetFocus(window_);
    HWND focus = GetFocus();
    return focus == window_ || IsChild(window_, focus);
}

LRESULT CALLBACK AccessibleControl::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<AccessibleControl*>(GetPropW(window, ownerProperty));
    if (control == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const WNDPROC previous = control->previous_;
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        return control->answer_.answer(wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        control->release();
    }
    const LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
    if (message == WM_ENABLE) {
        // Readers ask our object for the state, so we say when it changed.
        notifyAccessible(EVENT_OBJECT_STATECHANGE, window, AccessibleContent::self);
    }
    return result;
}

} // namespace solvane
