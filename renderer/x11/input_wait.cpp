#include "x11/input_wait.h"

#include <poll.h>

#include <cerrno>
#include <ctime>

namespace solvane {

void waitForInput(Display* display, StopSignals& stop, std::int64_t micros) {
    // Flushing and reading what came may wait for the server.
    const StopSignals::ServerWait atServer(stop);
    if (XPending(display) > 0) {
        return;
    }
    pollfd entries[] = {{ConnectionNumber(display), POLLIN, 0}, {stop.fd(), POLLIN, 0}};
    const timespec timeout{static_cast<time_t>(micros / 1000000), static_cast<long>(micros % 1000000 * 1000)};
    while (::ppoll(entries, 2, &timeout, nullptr) < 0 && errno == EINTR) {
    }
}

} // namespace solvane
