#pragma once

// What the saver window's tests share: the window class, and a way out of a
// loop that never ends.
#include "contract.h"
#include "win32/saver_window.h"

#include <windows.h>

namespace solvane {

// Registers the renderer's window class once a process; true once it is there.
inline bool saverClassRegistered(HINSTANCE instance) {
    WNDCLASSA known{};
    return GetClassInfoA(instance, contract::rendererClass, &known) || registerSaverClass(instance);
}

// A thread timer's procedure that ends the message loop with 99, set as a
// bound on a run that ought to end by itself.
inline void CALLBACK giveUpTheLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }

} // namespace solvane
