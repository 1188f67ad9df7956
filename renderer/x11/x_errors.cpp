#include "x11/x_errors.h"

namespace solvane {

namespace {

// GLXBadDrawable, GLX's error number 2 past its base (from the GLX protocol;
// its header cannot be included without the server's types).
constexpr int glxBadDrawable = 2;

XErrorJudge* installed = nullptr;

} // namespace

XErrorJudge::XErrorJudge() {
    installed = this;
    previous_ = XSetErrorHandler(onError);
}

XErrorJudge::~XErrorJudge() {
    XSetErrorHandler(previous_);
    installed = nullptr;
}

void XErrorJudge::watch(Window target) {
    target_ = target;
    targetLost_ = false;
}

int XErrorJudge::onError(Display*, XErrorEvent* error) {
    if (installed == nullptr) {
        return 0;
    }
    const int code = error->error_code;
    const bool aboutAWindow = code == BadWindow || code == BadDrawable ||
                              (installed->glxErrorBase_ >= 0 && code == installed->glxErrorBase_ + glxBadDrawable);
    if (aboutAWindow && installed->target_ != 0 && error->resourceid == installed->target_) {
        installed->targetLost_ = true;
    } else {
        ++installed->ignored_;
    }
    return 0;
}

} // namespace solvane
