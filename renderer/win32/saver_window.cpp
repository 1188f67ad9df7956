#include "win32/saver_window.h"

#include "contract.h"
#include "scene/scene_settings.h"
#include "win32/monitors.h"
#include "win32/resource_ids.h"
#include "winutils/window_owner.h"

#include <mmsystem.h>

#include <ctime>

namespace solvane {

namespace {

using contract::rendererClass;
using contract::rendererStartTitle;
using contract::rendererTitle;
// How often frames look for a new monitor layout: a layout changed outside
// the program need not come with a WM_DISPLAYCHANGE (Wine sends none).
constexpr DWORD layoutCheckMillis = 1000;

std::int64_t nowMicros() {
    // Fixed at boot: asked once, not at every frame.
    static const std::int64_t perSecond = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<std::int64_t>(frequency.QuadPart);
    }();
    LARGE_INTEGER ticks{};
    QueryPerformanceCounter(&ticks);
    const std::int64_t whole = ticks.QuadPart / perSecond;
    const std::int64_t part = ticks.QuadPart % perSecond;
    return whole * 1000000 + part * 1000000 / perSecond;
}

} // namespace

SaverWindow::SaverWindow(HINSTANCE instance, const SaverTestOptions& options)
    : instance_(instance), options_(options) {}

SaverWindow::~SaverWindow() {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
}

HWND SaverWindow::create(const RECT& area) {
    covered_ = virtualScreen();
    CreateWindowExA(WS_EX_TOPMOST, rendererClass, rendererStartTitle,
                    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left, area.top,
                    area.right - area.left, area.bottom - area.top, nullptr, nullptr, instance_, this);
    return window_;
}

void SaverWindow::applySceneSettings() {
    sceneInputs_.settings = fixedSceneSettings;
    SetWindowTextA(window_, rendererTitle);
}

void SaverWindow::initScene() {
    sceneInputs_.random = SceneRandom::fromTime(options_.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))));
    scene_ = options_.platform != nullptr ? std::make_unique<GlSceneHost>(window_, *options_.platform, sceneInputs_)
                                          : std::make_unique<GlSceneHost>(window_, sceneInputs_);
    // One swap per refresh where the driver offers it; the pacer measures
    // whether it keeps to it.
    scene_->requestSwapInterval(options_.unpaced ? 0 : 1);
    pacer_.setDisplayPaced(!options_.unpaced);
    pacer_.setRefresh(displayRefreshHz(window_));
    power_.emplace(window_);
}

void SaverWindow::shutdownScene() {
    power_.reset();
    scene_.reset();
}

bool SaverWindow::displayChanged() const {
    const RECT now = virtualScreen();
    return now.left != covered_.left || now.top != covered_.top || now.right != covered_.right ||
           now.bottom != covered_.bottom;
}

void SaverWindow::followDisplayChange() {
    // Monitors came, went or moved: cover the new layout, a scene each. The
    // cursor's screen coordinates may jump with it, which is no input.
    restartPointer();
    covered_ = virtualScreen();
    SetWindowPos(window_, HWND_TOPMOST, covered_.left, covered_.top, covered_.right - covered_.left,
                 covered_.bottom - covered_.top, SWP_NOACTIVATE);
    if (scene_) {
        scene_->followLayout();
    }
    pacer_.setRefresh(displayRefreshHz(window_));
}

LRESULT SaverWindow::armClose(UINT message, WPARAM wParam, LPARAM lParam) {
    closeArmed_ = true;
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT SaverWindow::onClose(UINT message, WPARAM wParam, LPARAM lParam) {
    // The password dialog's own loop delivers close requests too (queued by
    // earlier input, or from other programs): one check at a time.
    if (password_.passwordDialogOpen()) {
        return 0;
    }
    if (!closeArmed_) {
        return 0; // nobody but user input closes the saver
    }
    if (!password_.verifySaverPassword(window_)) {
        // Back to how it was before the input: only new input asks again.
        closeArmed_ = false;
        restartPointer();
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT SaverWindow::onMouseMove(UINT message, WPARAM wParam, LPARAM lParam) {
    // A new layout can move the cursor's coordinates before its
    // WM_DISPLAYCHANGE arrives (or without one).
    if (displayChanged()) {
        followDisplayChange();
        return DefWindowProcA(window_, message, wParam, lParam);
    }
    POINT p{};
    GetCursorPos(&p);
    // A far greeting asks to close too, but unarmed, so the request is dropped.
    const bool farMove = pointer_.beyond(p.x, p.y);
    if (pointer_.moved(p.x, p.y) != PointerLeaveRule::Move::greeting) {
        closeArmed_ = true;
    }
    if (farMove) {
        PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void SaverWindow::restartPointer() {
    POINT p{};
    GetCursorPos(&p);
    pointer_.restartAt(p.x, p.y);
}

LRESULT CALLBACK SaverWindow::saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The saver outlives its window.
    const WindowOwner<SaverWindow, WindowLifetime::borrowed> saver(window, message, lParam, &SaverWindow::window_);
    if (!saver) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        saver->restartPointer();
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
    return saver->sceneWindowProc(window, message, wParam, lParam);
}

LRESULT SaverWindow::sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        applySceneSettings();
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        initScene();
        sceneReady_ = true;
        break;
    case WM_DESTROY:
        sceneReady_ = false;
        shutdownScene();
        break;
    case WM_DISPLAYCHANGE:
        followDisplayChange();
        break;
    case WM_POWERBROADCAST:
        // A dark display shows no frame: none is drawn until it is lit.
        if (power_ && power_->onPowerBroadcast(wParam, lParam)) {
            return TRUE;
        }
        break;
    default:
        break;
    }
    return defaultSaverProc(window, message, wParam, lParam);
}

LRESULT SaverWindow::defaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        return onClose(message, wParam, lParam);
    }
    if (password_.passwordDialogOpen()) {
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
            return armClose(message, wParam, lParam);
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return armClose(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return onMouseMove(message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool SaverWindow::canDraw() const {
    return sceneReady_ && !password_.passwordDialogOpen() && scene_ && scene_->ready() && (!power_ || power_->lit());
}

DWORD SaverWindow::millisUntilFrame() const {
    if (!canDraw()) {
        return INFINITE;
    }
    const std::int64_t wait = pacer_.waitBefore(nowMicros());
    return static_cast<DWORD>((wait + 999) / 1000);
}

bool SaverWindow::idleFrame() {
    if (!canDraw()) {
        return false;
    }
    if (const DWORD before = timeGetTime(); before - lastLayoutCheck_ >= layoutCheckMillis) {
        lastLayoutCheck_ = before;
        if (displayChanged()) {
            followDisplayChange();
        }
    }
    pacer_.frameStarted(nowMicros());
    scene_->drawFrame();
    pacer_.frameShown(nowMicros());
    const DWORD now = timeGetTime();
    if (drawn_.frames++ == 0) {
        drawn_.firstMillis = now;
    }
    drawn_.lastMillis = now;
    return true;
}

RECT virtualScreen() {
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + width, top + height};
}

bool registerSaverClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWindow::saverWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(SOLVANE_RENDERER_ICON));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = rendererClass;
    return RegisterClassA(&windowClass) != 0;
}

} // namespace solvane
