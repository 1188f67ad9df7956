#pragma once

#include <GL/glx.h>
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

// A GLX context made current on one drawable for the life of the object.
class GlxContext {
public:
    GlxContext(Display* display, XVisualInfo* visual, Window drawable);
    ~GlxContext();
    GlxContext(const GlxContext&) = delete;
    GlxContext& operator=(const GlxContext&) = delete;

    bool current() const { return current_; }

    // Asks the driver for `interval` refreshes per swap on the drawable
    // (GLX_EXT_swap_control, else GLX_MESA_swap_control); returns the
    // extension that took the request, or nullptr where none is offered.
    const char* requestSwapInterval(int interval);
    // The interval the driver holds for the drawable; -1 where it cannot tell.
    int swapInterval() const;

private:
    Display* display_;
    Window drawable_;
    GLXContext context_ = nullptr;
    bool current_ = false;
    const char* swapControl_ = nullptr;
};

} // namespace solvane
