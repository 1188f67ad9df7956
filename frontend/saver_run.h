#pragma once

#include "settings/music_settings.h"

#include <cstdint>

namespace solvane {

// What the start-up hands the saver run.
struct SaverRunStart {
    MusicSettings music;           // what to play, as loaded at start-up
    bool cursorHidden = false;     // an "S" request hid the cursor
    std::int32_t Cursor_Count = 0; // the display count that hiding returned
};

// Creates the hidden saver window Brisel_S, captioned "Brisel_Main"; its
// load step starts the renderer and the music, and its timers drive the run
// until the renderer's window is gone. False when the window cannot be made.
bool openSaverWindow(SaverRunStart start);

} // namespace solvane
