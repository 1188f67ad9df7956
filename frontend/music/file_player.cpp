#include "music/music_player.h"
#include "music/winmm_seam.h"
#include "text/ansi_text.h"
#include "text/platform_path.h"

#include <string>

namespace solvane {

namespace {

// No reply wanted: the file commands pass the dummy buffer with length 0.
MCIERROR sendFileCommand(MusicState& state, const char* command) {
    return mciSeam().sendString(command, state.dummyReply, 0, nullptr);
}

} // namespace

void MusicPlayer::OpenAndPlayFile(std::wstring_view file) {
    const NarrowPath path = narrowQuotedPath(file);
    if (!path.usable()) {
        return;
    }
    const std::string open = "open \"" + path.text + "\" type MPEGVideo Alias MP3Play";
    if (sendFileCommand(state_, open.c_str()) == 0) {
        sendFileCommand(state_, "play MP3Play");
    }
}

bool MusicPlayer::IsFilePlaying() {
    mciSeam().sendString("status MP3Play mode", state_.fileMode, sizeof state_.fileMode, nullptr);
    return fromAnsiBuffer(state_.fileMode, sizeof state_.fileMode).substr(0, modeWordLength) == L"playing";
}

void MusicPlayer::RepeatFile() {
    if (!IsFilePlaying()) {
        sendFileCommand(state_, "stop MP3Play");
        sendFileCommand(state_, "play MP3Play from 0");
    }
}

void MusicPlayer::CloseFile() {
    sendFileCommand(state_, "stop MP3Play");
    sendFileCommand(state_, "close MP3Play");
}

} // namespace solvane
