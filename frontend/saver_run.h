#pragma once

#include "settings/music_settings.h"

namespace solvane {

// What the start-up hands the saver run.
struct SaverRunStart {
    MusicSettings music; // what to play, as loaded at start-up
};

// Creates the hidden saver window Brisel_S, captioned "Brisel_Main"; its
// load step starts the renderer and the music, and its timers drive the run
// until the renderer's window is gone. False when the window cannot be made.
bool openSaverWindow(SaverRunStart start);

} // namespace solvane
