#pragma once

#include "music/music_choice.h"
#include "music/music_player.h"
#include "settings/music_settings.h"

#include <optional>

namespace solvane {

// The music of one saver run, chosen once from its settings. The saver
// window enables timer() after start(), hands each of that timer's ticks to
// tick() and switches the timer off for good when a tick says so, and calls
// stop() in its close step.
class MusicSource {
public:
    explicit MusicSource(MusicSettings settings);

    void start();
    const std::optional<MusicTimer>& timer() const { return choice_.timer; }
    // False once the timer has nothing more to do for the rest of the run.
    bool tick();
    void stop();

private:
    MusicSettings settings_;
    MusicChoice choice_;
    // A CD is stopped and closed at the end only while it is still polled.
    bool cdPolled_ = false;
    MusicPlayer player_;
};

} // namespace solvane
