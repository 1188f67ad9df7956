#include "scene/frame_pacer.h"

#include <algorithm>
#include <cmath>

namespace solvane {

FramePacer::FramePacer(double refreshHz, std::int64_t minimumIntervalMicros)
    : minimumInterval_(std::max<std::int64_t>(0, minimumIntervalMicros)) {
    setRefresh(refreshHz);
}

void FramePacer::setRefresh(double refreshHz) {
    // Systems that cannot tell report 0 or 1; NaN fails the test too.
    refreshHz_ = refreshHz > 1.0 ? refreshHz : fallbackHz;
    period_ = std::max<std::int64_t>(1, std::llround(1e6 / refreshHz_));
}

std::int64_t FramePacer::waitBefore(std::int64_t now) const {
    if (!started_) {
        return 0;
    }
    std::int64_t earliest = lastStart_ + minimumInterval_;
    if (displayPaced_ && pacingItself_) {
        earliest = std::max(earliest, slot_);
    }
    return std::max<std::int64_t>(0, earliest - now);
}

void FramePacer::frameStarted(std::int64_t now) {
    // A frame more than a period late starts the schedule again from now:
    // frames that fell behind are not caught up in a burst.
    if (!started_ || !pacingItself_ || now - slot_ >= period_) {
        slot_ = now;
    }
    slot_ += period_;
    framesPacedHere_ += displayPaced_ && pacingItself_ ? 1 : 0;
    started_ = true;
    lastStart_ = now;
}

void FramePacer::frameShown(std::int64_t now) {
    const std::int64_t busy = now - lastStart_;
    if (static_cast<double>(busy) < fastShare * static_cast<double>(period_)) {
        ++fastInARow_;
        slowInARow_ = 0;
    } else {
        ++slowInARow_;
        fastInARow_ = 0;
    }
    // A driver that waits for the display makes every frame last about a
    // period; one that does not, or a display paced here, leaves them short.
    if (fastInARow_ >= judgedFrames) {
        pacingItself_ = true;
    } else if (slowInARow_ >= judgedFrames) {
        pacingItself_ = false;
    }
}

} // namespace solvane
