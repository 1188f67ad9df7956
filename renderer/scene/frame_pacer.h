#pragma once

#include <cstdint>

namespace solvane {

// When the next frame may start, the same on every host. The trails dim and
// turn once a frame, so frames the display cannot show change the picture as
// well as waste the machine. A host first asks its driver for one swap per
// refresh; where the frames still come back well inside the refresh period
// (software GL, a "vertical sync off" override), this paces them itself to
// the display's rate. A minimum interval from one frame's start to the next
// applies on top. Times are microseconds of a monotonic clock.
class FramePacer {
public:
    // Frames that must come back inside (or not) this share of a refresh
    // period, one after the other, before the pacing changes hands.
    static constexpr int judgedFrames = 8;
    static constexpr double fastShare = 0.75;
    // The rate to pace to where the system reports none (0 or 1 Hz).
    static constexpr double fallbackHz = 60.0;

    explicit FramePacer(double refreshHz, std::int64_t minimumIntervalMicros = 0);

    // A display of another rate, after a layout change.
    void setRefresh(double refreshHz);
    // Off for tests and benchmarks that measure the GL work: only the
    // minimum interval then holds.
    void setDisplayPaced(bool paced) { displayPaced_ = paced; }

    // Microseconds to wait before the next frame may start; 0: start now.
    std::int64_t waitBefore(std::int64_t now) const;
    void frameStarted(std::int64_t now);
    // After the frame was presented (and the server took it, where there is one).
    void frameShown(std::int64_t now);

    // Whether frames are paced here, the driver having been judged not to,
    // and how many frames started so.
    bool pacingItself() const { return pacingItself_; }
    std::uint64_t framesPacedHere() const { return framesPacedHere_; }
    double refreshHz() const { return refreshHz_; }
    std::int64_t periodMicros() const { return period_; }

private:
    double refreshHz_ = fallbackHz;
    std::int64_t period_ = 0;
    std::int64_t minimumInterval_;
    bool displayPaced_ = true;
    // Paced here until the driver is seen to wait for the display: a frame
    // too many is worse than a wait too many.
    bool pacingItself_ = true;
    int fastInARow_ = 0;
    int slowInARow_ = 0;
    std::uint64_t framesPacedHere_ = 0;
    bool started_ = false;
    std::int64_t lastStart_ = 0;
    // The start the display's pace allows next; it advances a period a frame,
    // so that waits rounded to the host's timer do not add up.
    std::int64_t slot_ = 0;
};

} // namespace solvane
