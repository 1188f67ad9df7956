#include "host_window.h"

#include "test_support.h"

namespace solvane::test {

namespace {

// Registered once, with a device context of its own, which a GL context
// drawn into the window needs.
const wchar_t* hostClass() {
    static const ATOM atom = [] {
        WNDCLASSW host{};
        host.style = CS_OWNDC;
        host.lpfnWndProc = DefWindowProcW;
        host.hInstance = GetModuleHandleW(nullptr);
        host.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        host.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        host.lpszClassName = L"SolvaneTestHost";
        return RegisterClassW(&host);
    }();
    return MAKEINTRESOURCEW(atom);
}

} // namespace

HostWindow::HostWindow(const RECT& place, Shown shown) {
    const bool visible = shown == Shown::Yes;
    window_ = CreateWindowExW(visible ? WS_EX_TOPMOST : 0, hostClass(), L"Solvane test host",
                              WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), place.left, place.top,
                              place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (visible) {
        SetForegroundWindow(window_);
        pumpMessages();
    }
}

HostWindow::~HostWindow() {
    if (window_ != nullptr) {
        destroy();
        pumpMessages();
    }
}

void HostWindow::destroy() {
    DestroyWindow(window_);
    window_ = nullptr;
}

} // namespace solvane::test
