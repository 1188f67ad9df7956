#include "saver_main.h"

#include "contract.h"

namespace solvane {

int runMessageLoop(SaverWindow& saver) {
    MSG message{};
    for (;;) {
        while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!saver.idleFrame()) {
                break; // nothing to draw (no GL): wait for the next message instead of spinning
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

int saverMain(HINSTANCE instance, FrameCount* drawn) {
    const RECT area = virtualScreen();

    if (HWND other = FindWindowA(contract::rendererClass, contract::rendererStartTitle);
        other != nullptr && IsWindow(other)) {
        SetForegroundWindow(other);
        return 0;
    }
    if (!registerSaverClass(instance)) {
        return 1;
    }
    SaverWindow saver(instance);
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
