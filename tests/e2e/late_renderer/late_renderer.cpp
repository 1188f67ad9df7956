// A stand-in for the renderer that is slow to start: it shows its window,
// titled as the renderer's, only after a few seconds, then stays until the
// window is closed.
#include "contract.h"

#include <windows.h>

namespace {

constexpr DWORD startDelayMs = 3000;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A start-up busy elsewhere: no window and no queue for a while.
    Sleep(startDelayMs);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "SolvaneLateRenderer";
    RegisterClassA(&windowClass);
    if (CreateWindowExA(0, windowClass.lpszClassName, solvane::contract::rendererTitle, WS_POPUP | WS_VISIBLE, 0, 0, 64,
                        64, nullptr, nullptr, instance, nullptr) == nullptr) {
        return 1;
    }
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
