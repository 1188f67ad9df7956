#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace solvane {

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
