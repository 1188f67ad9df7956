#include "music/mci_commands.h"
#include "music/music_player.h"
#include "music/winmm_seam.h"
#include "rules/text_rules.h"
#include "text/ansi_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace solvane {

namespace {

constexpr std::wstring_view cdDevice = L"cdaudio";

// No reply wanted: the CD commands pass no buffer.
void sendCdCommand(const char* command) { mciSeam().sendString(command, nullptr, 0, nullptr); }

} // namespace

void MusicPlayer::OpenCd() {
    sendCdCommand("open cdaudio");
    sendCdCommand("set cdaudio time format tmsf");
}

void MusicPlayer::PollCd(std::int16_t track) {
    MusicState& state = state_;
    state.CD_PollOn = flagTrue;

    const std::wstring current = QueryMci(state, L"status cdaudio current track");
    if (cdReplyFailed(current)) {
        state.CD_PollOn = flagFalse;
        return;
    }
    // Only its failure counts; the count is not compared with the track.
    const std::wstring count = QueryMci(state, L"status cdaudio number of tracks");
    if (cdReplyFailed(count)) {
        state.CD_PollOn = flagFalse;
        return;
    }

    mciSeam().sendString("status cdaudio mode", state.cdMode, cdModeLength, nullptr);
    const std::wstring mode = fromAnsiBuffer(state.cdMode, sizeof state.cdMode).substr(0, modeWordLength);
    const bool stopped = mode == L"stopped";

    if (track == 0) {
        if (stopped) {
            PlayMci(state, cdDevice, {}, {});
        }
        return;
    }
    // The current track is compared as a number whatever the mode, so a reply
    // that is no number ends the polling even on a stopped drive.
    const std::optional<double> currentTrack = cdReplyNumber(current);
    if (!currentTrack) {
        state.CD_PollOn = flagFalse;
        return;
    }
    if (stopped || *currentTrack != track) {
        // Passed on as the device gave it; an error text makes the play fail
        // and the next poll tries again.
        const std::wstring position = QueryMci(state, L"status cdaudio position track " + std::to_wstring(track));
        PlayMci(state, cdDevice, position, {});
    }
}

void MusicPlayer::CloseCd() {
    sendCdCommand("stop cdaudio");
    sendCdCommand("close cdaudio");
}

} // namespace solvane
