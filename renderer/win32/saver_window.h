#pragma once

#include <windows.h>

namespace solvane {

// The renderer program: its window class, full-screen window and frame loop.
// Returns the process exit code (the WM_QUIT wParam, 0).
int saverMain();

void setSaverInstance(HINSTANCE instance);

// The steps of saverMain, also used by tests that feed the window messages.
bool registerSaverClass();
HWND createSaverWindow(int width, int height);
int runMessageLoop();

// Frames drawn since the window was created, and the multimedia-clock times
// of the first and the latest; kept for benchmarks.
struct FrameCount {
    unsigned long frames;
    DWORD firstMillis;
    DWORD lastMillis;
};
FrameCount framesDrawn();

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT defaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void applySceneSettings(HWND window);

// Nonzero when the saver may close: always, except on Windows 95/98/Me
// where the password module's verdict counts.
BOOL verifySaverPassword(HWND window);

void idleFrame();

} // namespace solvane
