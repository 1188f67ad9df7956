#include "x11/glx_context.h"

#include "scene/extension_list.h"

namespace solvane {

namespace {

constexpr char extSwapControl[] = "GLX_EXT_swap_control";
constexpr char mesaSwapControl[] = "GLX_MESA_swap_control";

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned int);
using GetSwapIntervalMesa = int (*)();

template <class Function>
Function glxFunction(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

GlxContext::GlxContext(Display* display, XVisualInfo* visual, Window drawable)
    : display_(display), drawable_(drawable) {
    context_ = glXCreateContext(display, visual, nullptr, True);
    current_ = context_ != nullptr && glXMakeCurrent(display, drawable, context_);
}

GlxContext::~GlxContext() {
    if (current_) {
        glXMakeCurrent(display_, None, nullptr);
    }
    if (context_ != nullptr) {
        glXDestroyContext(display_, context_);
    }
}

const char* GlxContext::requestSwapInterval(int interval) {
    if (!current_) {
        return nullptr;
    }
    const char* extensions = glXQueryExtensionsString(display_, DefaultScreen(display_));
    if (extensionListed(extensions, extSwapControl)) {
        if (const auto swapInterval = glxFunction<SwapIntervalExt>("glXSwapIntervalEXT")) {
            swapInterval(display_, drawable_, interval);
            return swapControl_ = extSwapControl;
        }
    }
    if (extensionListed(extensions, mesaSwapControl)) {
        if (const auto swapInterval = glxFunction<SwapIntervalMesa>("glXSwapIntervalMESA")) {
            swapInterval(static_cast<unsigned int>(interval));
            return swapControl_ = mesaSwapControl;
        }
    }
    return nullptr;
}

int GlxContext::swapInterval() const {
    if (swapControl_ == extSwapControl) {
        unsigned int value = 0;
        glXQueryDrawable(display_, drawable_, GLX_SWAP_INTERVAL_EXT, &value);
        return static_cast<int>(value);
    }
    if (swapControl_ == mesaSwapControl) {
        if (const auto getSwapInterval = glxFunction<GetSwapIntervalMesa>("glXGetSwapIntervalMESA")) {
            return getSwapInterval();
        }
    }
    return -1;
}

} // namespace solvane
