#include "win32/saver_main.h"

#include "contract.h"

#include <mmsystem.h>

namespace solvane {

namespace {

// Waits to the millisecond rather than to the scheduler's default tick of
// up to 16 ms, which is a whole frame.
class FineTimers {
public:
    FineTimers() : set_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimers() {
        if (set_) {
            timeEndPeriod(1);
        }
    }
    FineTimers(const FineTimers&) = delete;
    FineTimers& operator=(const FineTimers&) = delete;

private:
    bool set_;
};

} // namespace

int runMessageLoop(SaverWindow& saver) {
    const FineTimers fineTimers;
    MSG message{};
    for (;;) {
        while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            const DWORD wait = saver.millisUntilFrame();
            if (wait == INFINITE) {
                break; // nothing to draw: wait for the next message instead of spinning
            }
            if (wait > 0) {
                // Any input or message ends the wait at once.
                MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                continue;
            }
            if (!saver.idleFrame()) {
                break;
            }
            Sleep(0);
        }
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int saverMain(HINSTANCE instance, FrameCount* drawn, const SaverTestOptions& options) {
    const RECT area = virtualScreen();

    if (HWND other = FindWindowA(contract::rendererClass, contract::rendererStartTitle);
        other != nullptr && IsWindow(other)) {
        SetForegroundWindow(other);
        return 0;
    }
    if (!registerSaverClass(instance)) {
        return 1;
    }
    SaverWindow saver(instance, options);
    HWND window = saver.create(area);
    if (window == nullptr) {
        return 1;
    }
    SetForegroundWindow(window);
    const int result = runMessageLoop(saver);
    if (drawn != nullptr) {
        *drawn = saver.framesDrawn();
    }
    return result;
}

} // namespace solvane
