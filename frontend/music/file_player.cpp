#include "music/music_player.h"

#include "music/music_state.h"
#include "music/platform_path.h"
#include "music/winmm_seam.h"
#include "text/ansi_text.h"

#include <string>

namespace solvane {

namespace {

// No reply wanted: the file commands pass the dummy buffer with length 0.
MCIERROR sendFileCommand(const char* command) {
    return mciSeam().sendString(command, musicState().dummyReply, 0, nullptr);
}

} // namespace

void OpenAndPlayFile() {
    const std::optional<std::string> path = platformPath(musicState().settings.BGM_File, true);
    if (!path) {
        return;
    }
    const std::string open = "open \"" + *path + "\" type MPEGVideo Alias MP3Play";
    if (sendFileCommand(open.c_str()) == 0) {
        sendFileCommand("play MP3Play");
    }
}

bool IsFilePlaying() {
    MusicState& state = musicState();
    mciSeam().sendString("status MP3Play mode", state.fileMode, sizeof state.fileMode, nullptr);
    return fromAnsiBuffer(state.fileMode, sizeof state.fileMode).substr(0, modeWordLength) == L"playing";
}

void RepeatFile() {
    if (!IsFilePlaying()) {
        sendFileCommand("stop MP3Play");
        sendFileCommand("play MP3Play from 0");
    }
}

void CloseFile() {
    sendFileCommand("stop MP3Play");
    sendFileCommand("close MP3Play");
}

} // namespace solvane
