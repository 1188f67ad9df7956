#pragma once

#include <X11/Xlib.h>

namespace solvane {

// The program's X error handler. Only a BadWindow or BadDrawable (or GLX's
// GLXBadDrawable, from a buffer swap) about the window we draw into means
// that it has gone; any other error (a BadMatch
// while a window is being resized, an error about some other resource) is
// counted and passes.
class XErrorJudge {
public:
    // Xlib's handler is one for the process and carries no context: one
    // judge is installed at a time.
    XErrorJudge();
    ~XErrorJudge();
    XErrorJudge(const XErrorJudge&) = delete;
    XErrorJudge& operator=(const XErrorJudge&) = delete;

    // The window whose loss ends the run; forgets an earlier loss.
    void watch(Window target);
    // GLX's first error number on this display.
    void knowGlx(int errorBase) { glxErrorBase_ = errorBase; }
    bool targetLost() const { return targetLost_; }
    unsigned long ignored() const { return ignored_; }

private:
    static int onError(Display* display, XErrorEvent* error);

    XErrorHandler previous_ = nullptr;
    Window target_ = 0;
    int glxErrorBase_ = -1;
    bool targetLost_ = false;
    unsigned long ignored_ = 0;
};

} // namespace solvane
