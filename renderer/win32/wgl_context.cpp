#include "wgl_context.h"

#include "pixel_format.h"

namespace solvane {

WglContext::WglContext(HWND window) : window_(window) {
    dc_ = GetDC(window);
    if (dc_ == nullptr || !selectPixelFormat(dc_)) {
        return;
    }
    context_ = wglCreateContext(dc_);
    current_ = context_ != nullptr && wglMakeCurrent(dc_, context_);
}

WglContext::~WglContext() {
    if (current_) {
        wglMakeCurrent(nullptr, nullptr);
    }
    if (context_ != nullptr) {
        wglDeleteContext(context_);
    }
    if (dc_ != nullptr) {
        ReleaseDC(window_, dc_);
    }
}

} // namespace solvane
