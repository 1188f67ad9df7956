#pragma once

#include "win32/saver_window.h"

#include <windows.h>

namespace solvane {

// Draws whenever no message waits and a frame is due, waiting for the
// display's pace in between, until WM_QUIT; returns its wParam.
int runMessageLoop(SaverWindow& saver);

// The renderer program: single-instance check, class, window over the
// virtual screen, frame loop. Returns the process exit code; `drawn`, when
// given, receives the frame count (benchmarks), and `options` are what a test
// or benchmark fixes of the run.
int saverMain(HINSTANCE instance, FrameCount* drawn = nullptr, const SaverTestOptions& options = {});

} // namespace solvane
