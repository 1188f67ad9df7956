#include "music/music_source.h"

#include <utility>

namespace solvane {

MusicSource::MusicSource(MusicSettings settings) : settings_(std::move(settings)), choice_(chooseMusic(settings_)) {}

void MusicSource::start() {
    switch (choice_.source) {
    case MusicChoice::Source::Cd:
        player_.OpenCd();
        cdPolled_ = true;
        break;
    case MusicChoice::Source::File:
        switch (choice_.file->playback) {
        case FilePlayback::Mci:
            player_.OpenAndPlayFile(settings_.BGM_File);
            break;
        case FilePlayback::SoundLoop:
            player_.PlayWave(settings_.BGM_File);
            break;
        }
        break;
    case MusicChoice::Source::Nothing:
        break;
    }
}

bool MusicSource::tick() {
    switch (choice_.source) {
    case MusicChoice::Source::Cd:
        player_.PollCd(settings_.BGM_Track);
        cdPolled_ = player_.CD_PollOn() != flagFalse;
        return cdPolled_;
    case MusicChoice::Source::File:
        if (choice_.file->playback == FilePlayback::Mci) {
            player_.RepeatFile();
            return true;
        }
        // The sound player loops by itself.
        break;
    case MusicChoice::Source::Nothing:
        break;
    }
    return false;
}

void MusicSource::stop() {
    switch (choice_.source) {
    case MusicChoice::Source::Cd:
        if (cdPolled_) {
            cdPolled_ = false;
            player_.CloseCd();
        }
        break;
    case MusicChoice::Source::File:
        switch (choice_.file->playback) {
        case FilePlayback::Mci:
            player_.CloseFile();
            break;
        case FilePlayback::SoundLoop:
            player_.StopWave();
            break;
        }
        break;
    case MusicChoice::Source::Nothing:
        break;
    }
}

} // namespace solvane
