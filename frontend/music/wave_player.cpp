#include "music/music_player.h"

#include "music/platform_path.h"
#include "music/winmm_seam.h"

namespace solvane {

void MusicPlayer::PlayWave(std::wstring_view file) {
    if (soundSeam().waveOutDeviceCount() == 0) {
        return;
    }
    const std::optional<std::string> path = platformPath(file, false);
    if (!path) {
        return;
    }
    // No name-kind flag: the platform looks the name up as it does by default.
    soundSeam().playSound(path->c_str(), nullptr, SND_ASYNC | SND_LOOP);
}

void MusicPlayer::StopWave() { soundSeam().playSound(nullptr, nullptr, 0); }

} // namespace solvane
