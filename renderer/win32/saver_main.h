#pragma once

#include "saver_window.h"

#include <windows.h>

namespace solvane {

// Draws in every idle moment until WM_QUIT; returns its wParam.
int runMessageLoop(SaverWindow& saver);

// The renderer program: single-instance check, class, window over the
// virtual screen, frame loop. Returns the process exit code; `drawn`, when
// given, receives the frame count (benchmarks).
int saverMain(HINSTANCE instance, FrameCount* drawn = nullptr);

} // namespace solvane
