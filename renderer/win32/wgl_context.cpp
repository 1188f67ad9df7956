#include "win32/wgl_context.h"

#include "scene/extension_list.h"
#include "win32/pixel_format.h"

namespace solvane {

namespace {

using ExtensionsStringArb = const char*(WINAPI*)(HDC);
using ExtensionsStringExt = const char*(WINAPI*)();
using SwapIntervalExt = BOOL(WINAPI*)(int);

template <class Function>
Function driverFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

// The WGL extension list of the current context's driver; empty if it has none.
const char* wglExtensions(HDC dc) {
    if (const auto arb = driverFunction<ExtensionsStringArb>("wglGetExtensionsStringARB")) {
        if (const char* names = arb(dc)) {
            return names;
        }
    }
    if (const auto ext = driverFunction<ExtensionsStringExt>("wglGetExtensionsStringEXT")) {
        if (const char* names = ext()) {
            return names;
        }
    }
    return "";
}

} // namespace

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

bool WglContext::requestSwapInterval(int interval) {
    // Extension functions belong to the current context's driver, and a
    // driver may hand out an address for a name it does not implement.
    if (!current_ || !extensionListed(wglExtensions(dc_), "WGL_EXT_swap_control")) {
        return false;
    }
    const auto swapInterval = driverFunction<SwapIntervalExt>("wglSwapIntervalEXT");
    return swapInterval != nullptr && swapInterval(interval);
}

} // namespace solvane
