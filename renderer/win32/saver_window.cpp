#include "saver_window.h"

#include "gl_scene_host.h"
#include "resource_ids.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <mmsystem.h>

#include <cstdlib>

namespace solvane {

namespace {

constexpr char saverClassName[] = "WindowsScreenSaverClass";
constexpr char initialTitle[] = "Screensaver";
constexpr char sceneTitle[] = "Brisel_VC";
constexpr int mouseMoveTolerance = 4; // pixels, as |dx| + |dy|

struct SaverState {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    POINT lastCursorPos{};
    bool closeArmed = false;
    bool firstMoveSeen = false;
    bool passwordDialogOpen = false;
    bool sceneReady = false;
    FrameCount drawn{};
};

SaverState saver;

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

LRESULT armClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    saver.closeArmed = true;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT onClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!saver.closeArmed) {
        return 0; // nobody but user input closes the saver
    }
    if (!verifySaverPassword(window)) {
        GetCursorPos(&saver.lastCursorPos);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT onMouseMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The move that greets a new window under the cursor never closes it.
    if (saver.firstMoveSeen) {
        saver.closeArmed = true;
    } else {
        saver.firstMoveSeen = true;
    }
    POINT p{};
    GetCursorPos(&p);
    const long distance = std::labs(saver.lastCursorPos.x - p.x) + std::labs(saver.lastCursorPos.y - p.y);
    if (distance > mouseMoveTolerance) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
        saver.lastCursorPos = p; // small jitter moves the reference along
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void setSaverInstance(HINSTANCE instance) { saver.instance = instance; }

FrameCount framesDrawn() { return saver.drawn; }

void applySceneSettings(HWND window) {
    assignSceneSettings();
    SetWindowTextA(window, sceneTitle);
}

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        GetCursorPos(&saver.lastCursorPos);
        SetCursor(nullptr);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE) {
            return 0;
        }
        break;
    default:
        break;
    }
    return sceneWindowProc(window, message, wParam, lParam);
}

LRESULT sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        saver.window = window;
        applySceneSettings(window);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        initScene(window);
        saver.sceneReady = true;
        break;
    case WM_DESTROY:
        saver.sceneReady = false;
        shutdownScene(window);
        break;
    default:
        break;
    }
    return defaultSaverProc(window, message, wParam, lParam);
}

LRESULT defaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        return onClose(window, message, wParam, lParam);
    }
    if (saver.passwordDialogOpen) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0) {
            SetCursor(nullptr);
        }
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_ACTIVATEAPP:
        if (wParam == 0) {
            return armClose(window, message, wParam, lParam);
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return armClose(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        return onMouseMove(window, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL verifySaverPassword(HWND window) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) {
        return TRUE;
    }
    HMODULE module = LoadLibraryA("PASSWORD.CPL");
    if (module == nullptr) {
        return TRUE;
    }
    const auto verify =
        reinterpret_cast<VerifyScreenSavePwdFn>(reinterpret_cast<void*>(GetProcAddress(module, "VerifyScreenSavePwd")));
    if (verify == nullptr) {
        FreeLibrary(module);
        return TRUE;
    }
    BOOL previous = FALSE;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
    saver.passwordDialogOpen = true;
    const BOOL result = verify(window);
    saver.passwordDialogOpen = false;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &previous, 0);
    FreeLibrary(module);
    return result;
}

void idleFrame() {
    if (saver.sceneReady && !saver.passwordDialogOpen) {
        drawFrame();
        const DWORD now = timeGetTime();
        if (saver.drawn.frames++ == 0) {
            saver.drawn.firstMillis = now;
        }
        saver.drawn.lastMillis = now;
    }
}

bool registerSaverClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = saverWindowProc;
    windowClass.hInstance = saver.instance;
    windowClass.hIcon = LoadIconA(saver.instance, MAKEINTRESOURCEA(SOLVANE_RENDERER_ICON));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = saverClassName;
    return RegisterClassA(&windowClass) != 0;
}

HWND createSaverWindow(int width, int height) {
    // WM_CREATE runs inside this call: the window comes back retitled and
    // with its scene set up.
    return CreateWindowExA(WS_EX_TOPMOST, saverClassName, initialTitle,
                           WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
                           nullptr, saver.instance, nullptr);
}

int runMessageLoop() {
    MSG message{};
    for (;;) {
        while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            idleFrame();
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

int saverMain() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);

    if (HWND other = FindWindowA(saverClassName, initialTitle); other != nullptr && IsWindow(other)) {
        SetForegroundWindow(other);
        return 0;
    }
    if (!registerSaverClass()) {
        return 1;
    }
    HWND window = createSaverWindow(width, height);
    if (window == nullptr) {
        return 1;
    }
    SetForegroundWindow(window);
    return runMessageLoop();
}

} // namespace solvane
