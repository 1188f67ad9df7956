#pragma once

#include <windows.h>

namespace solvane {

// The window's device context and an OpenGL rendering context on it, made
// current for the life of the object. Any step may fail (no pixel format,
// no context, not current); the object then holds what it got and current()
// is false, and no GL call may be made through it.
class WglContext {
public:
    explicit WglContext(HWND window);
    ~WglContext();
    WglContext(const WglContext&) = delete;
    WglContext& operator=(const WglContext&) = delete;

    HDC dc() const { return dc_; }
    bool current() const { return current_; }

    // Asks the driver for `interval` refreshes per swap (WGL_EXT_swap_control);
    // false where the context or the driver offers no such choice.
    bool requestSwapInterval(int interval);

private:
    HWND window_;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    bool current_ = false;
};

} // namespace solvane
