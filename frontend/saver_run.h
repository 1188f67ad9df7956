#pragma once

namespace solvane {

// Creates the hidden saver window Brisel_S, captioned "Brisel_Main"; its
// load step starts the renderer and the music, and its timers drive the run
// until the renderer's window is gone. False when the window cannot be made.
bool openSaverWindow();

} // namespace solvane
