#include "x_resources.h"

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

OwnWindow::OwnWindow(Display* display, const XVisualInfo& visual, int width, int height) : display_(display) {
    const Window root = RootWindow(display, visual.screen);
    colormap_ = XCreateColormap(display, root, visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.background_pixel = BlackPixel(display, visual.screen);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask | StructureNotifyMask | ExposureMask;
    window_ = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                            visual.depth, InputOutput, visual.visual,
                            CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XStoreName(display, window_, "Solvane");
    static char empty[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display, window_, empty, 1, 1);
    XColor black{};
    cursor_ = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XDefineCursor(display, window_, cursor_);
    XFreePixmap(display, blank);
    XMapRaised(display, window_);
    XSync(display, False);
    XSetInputFocus(display, window_, RevertToParent, CurrentTime);
}

OwnWindow::~OwnWindow() {
    XDestroyWindow(display_, window_);
    XFreeCursor(display_, cursor_);
    XFreeColormap(display_, colormap_);
    XSync(display_, False);
}

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
