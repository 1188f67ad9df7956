#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace solvane {

// Owners of what the X11 host makes, so that every way out frees it.

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

struct XFreer {
    void operator()(void* data) const { XFree(data); }
};
using VisualInfoHandle = std::unique_ptr<XVisualInfo, XFreer>;

// A full-screen, override-redirect window with no cursor, its colormap and
// the invisible cursor; all three go with the object.
class OwnWindow {
public:
    OwnWindow(Display* display, const XVisualInfo& visual, int width, int height);
    ~OwnWindow();
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    Window window() const { return window_; }

private:
    Display* display_;
    Colormap colormap_ = 0;
    Cursor cursor_ = 0;
    Window window_ = 0;
};

} // namespace solvane
