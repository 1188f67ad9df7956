#include "music/music_player.h"
#include "music/winmm_seam.h"
#include "text/platform_path.h"

namespace solvane {

void MusicPlayer::PlayWave(std::wstring_view file) {
    if (soundSeam().waveOutDeviceCount() == 0) {
        return;
    }
    const NarrowPath path = narrowPath(file);
    if (!path.usable()) {
        return;
    }
    // No name-kind flag: the platform looks the name up as it does by default.
    // A file that cannot be opened by now plays nothing, rather than the
    // system's default sound looped for the whole run.
    soundSeam().playSound(path.text.c_str(), nullptr, SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}

void MusicPlayer::StopWave() { soundSeam().playSound(nullptr, nullptr, 0); }

} // namespace solvane
