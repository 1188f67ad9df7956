#pragma once

#include "x11/file_descriptor.h"

#include <atomic>
#include <thread>

namespace solvane {

// SIGTERM, SIGINT and SIGHUP end the program within a tenth of a second
// whatever it is doing. They are blocked in every thread and read through a
// signal descriptor, so that a wait for the X server can wait for them too;
// a watcher thread ends the process itself when the main thread is held
// where only the server can release it (a stopped server, a window being
// torn down under a buffer swap).
class StopSignals {
public:
    // Blocks the signals for this thread and every thread started after it:
    // make it first thing in main, before any library starts a thread.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // False when the descriptor or the watcher could not be made.
    bool ready() const { return ready_; }
    // Readable once a stop signal is pending; it stays readable.
    int fd() const { return signals_.get(); }
    bool requested() const;

    // While one lives the main thread waits on the X server: a stop signal
    // then ends the process shortly after it comes, wherever the thread is.
    class ServerWait {
    public:
        explicit ServerWait(StopSignals& owner) : owner_(owner) { ++owner_.serverWaits_; }
        ~ServerWait() { --owner_.serverWaits_; }
        ServerWait(const ServerWait&) = delete;
        ServerWait& operator=(const ServerWait&) = delete;

    private:
        StopSignals& owner_;
    };

private:
    void watch();

    FileDescriptor signals_;
    FileDescriptor quit_; // tells the watcher of a normal end
    std::atomic<int> serverWaits_{0};
    std::thread watcher_;
    bool ready_ = false;
};

} // namespace solvane
