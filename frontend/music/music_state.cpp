#include "music/music_state.h"

namespace solvane {

MusicState& musicState() {
    static MusicState state;
    return state;
}

MusicSettings& musicSettings() { return musicState().settings; }

std::int16_t CD_PollOn() { return musicState().CD_PollOn; }

} // namespace solvane
