#include "music/music_choice.h"

namespace solvane {

MusicChoice chooseMusic(const MusicSettings& settings) {
    if (settings.BGM_Kind == 1) {
        return {.source = MusicChoice::Source::Cd, .timer = Timer2};
    }
    if (settings.BGM_Kind == 2) {
        if (const FileKind* kind = fileKindOf(settings.BGM_File)) {
            return {.source = MusicChoice::Source::File, .file = kind, .timer = kind->timer};
        }
    }
    return {};
}

} // namespace solvane
