#include "x11/x_resources.h"

namespace solvane {

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

} // namespace solvane
