#include "x11/server_round_trip.h"

#include <poll.h>

#include <cerrno>

namespace solvane {

ServerRoundTrip::ServerRoundTrip(Display* display, StopSignals& stop) : display_(display), stop_(stop) {
    const int screen = DefaultScreen(display);
    pixmap_ =
        XCreatePixmap(display, RootWindow(display, screen), 1, 1, static_cast<unsigned>(DefaultDepth(display, screen)));
    XGCValues values{};
    values.graphics_exposures = True;
    gc_ = XCreateGC(display, pixmap_, GCGraphicsExposures, &values);
}

ServerRoundTrip::~ServerRoundTrip() {
    XFreeGC(display_, gc_);
    XFreePixmap(display_, pixmap_);
}

bool ServerRoundTrip::wait() {
    const StopSignals::ServerWait atServer(stop_);
    XCopyArea(display_, pixmap_, pixmap_, gc_, 0, 0, 1, 1, 0, 0);
    XFlush(display_);
    pollfd entries[] = {{ConnectionNumber(display_), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    XEvent answer{};
    // Reads what has come without blocking, then looks for our answer.
    while (!XCheckTypedWindowEvent(display_, pixmap_, NoExpose, &answer)) {
        int ready = 0;
        do {
            ready = ::poll(entries, 2, -1);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0 || (entries[1].revents & POLLIN) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace solvane
