#include "x11/stop_signals.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <system_error>

namespace solvane {

namespace {

using Clock = std::chrono::steady_clock;

// A main thread held by the server gets this long to come back by itself;
// one that is drawing or cleaning up gets until the last moment, so that a
// daemon's kill never has to wait longer than a tenth of a second.
constexpr auto serverGrace = std::chrono::milliseconds(20);
constexpr auto lastMoment = std::chrono::milliseconds(60);
constexpr int lookEveryMillis = 2;

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

bool readable(int fd, int timeoutMillis) {
    pollfd entry{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMillis);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & POLLIN) != 0;
}

} // namespace

StopSignals::StopSignals() {
    const sigset_t set = stopSet();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) {
        return;
    }
    signals_ = FileDescriptor(signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
    quit_ = FileDescriptor(eventfd(0, EFD_CLOEXEC));
    if (!signals_ || !quit_) {
        return;
    }
    try {
        watcher_ = std::thread([this] { watch(); });
    } catch (const std::system_error&) {
        return;
    }
    ready_ = true;
}

StopSignals::~StopSignals() {
    if (watcher_.joinable()) {
        const std::uint64_t one = 1;
        if (::write(quit_.get(), &one, sizeof one) == sizeof one) {
            watcher_.join();
        } else {
            watcher_.detach();
        }
    }
}

bool StopSignals::requested() const { return readable(signals_.get(), 0); }

void StopSignals::watch() {
    pollfd entries[] = {{signals_.get(), POLLIN, 0}, {quit_.get(), POLLIN, 0}};
    int ready = 0;
    do {
        ready = ::poll(entries, 2, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0 || (entries[1].revents & POLLIN) != 0 || (entries[0].revents & POLLIN) == 0) {
        return;
    }
    const auto signalled = Clock::now();
    while (!readable(quit_.get(), lookEveryMillis)) {
        const auto waited = Clock::now() - signalled;
        if ((serverWaits_.load() > 0 && waited >= serverGrace) || waited >= lastMoment) {
            // Nothing is lost: the server frees what this client made when
            // its connection closes.
            _exit(0);
        }
    }
}

} // namespace solvane
