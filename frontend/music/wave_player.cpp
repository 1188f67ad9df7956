#include "music/music_player.h"

#include "music/music_state.h"
#include "music/platform_path.h"
#include "music/winmm_seam.h"

namespace solvane {

void PlayWave() {
    if (soundSeam().waveOutDeviceCount() == 0) {
        return;
    }
    const std::optional<std::string> path = platformPath(musicState().settings.BGM_File, false);
    if (!path) {
        return;
    }
    // No name-kind flag: the platform looks the name up as it does by default.
    soundSeam().playSound(path->c_str(), nullptr, SND_ASYNC | SND_LOOP);
}

void StopWave() { soundSeam().playSound(nullptr, nullptr, 0); }

} // namespace solvane
