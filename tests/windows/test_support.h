#pragma once

// What the Windows tests share: running this thread's messages, bounded
// waits that poll for a condition while they run, and the cursor.
#include <windows.h>

#include <functional>

namespace solvane::test {

// Dispatches every message waiting for this thread.
inline void pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs this thread's messages until the condition holds or the time is up;
// false when it never held.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    return true;
}

// Runs this thread's messages for a while, for checks that something does
// not happen within it (timers that must not fire a change, say).
inline void pumpFor(int milliseconds) {
    waitFor([] { return false; }, milliseconds);
}

// Puts the cursor at a point and waits, bounded, until Wine reports it there:
// a move left over from an earlier process can otherwise set it back. The
// thread's messages are left where they are; false when it never got there.
inline bool placeCursor(int x, int y) {
    SetCursorPos(x, y);
    const ULONGLONG deadline = GetTickCount64() + 2000;
    POINT at{};
    while (GetCursorPos(&at) && (at.x != x || at.y != y)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(5);
        SetCursorPos(x, y);
    }
    return true;
}

} // namespace solvane::test
