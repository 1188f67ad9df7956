#include "saver_run.h"

#include "contract.h"
#include "forms/window_class.h"
#include "music/music_source.h"
#include "process_end.h"
#include "settings/settings_file.h"
#include "winutils/handle_owner.h"
#include "winutils/window_owner.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace solvane {

namespace {

constexpr auto saverClassName = contract::wide(contract::saverRunClass);
constexpr auto saverCaption = contract::wide(contract::saverRunTitle);
constexpr UINT_PTR Timer3 = 3; // renderer watch
constexpr UINT timer3Interval = 50;
static_assert(Timer3 != Timer1.id && Timer3 != Timer2.id, "the music's timers share the saver window");
// How long a renderer that is still starting may take to show its window.
constexpr ULONGLONG rendererStartGrace = 15000;

// The renderer's process is kept only to see whether it still runs.
bool running(const OwnedHandle& process) { return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }

// Started in the programs' folder, whatever folder the host started us in,
// and held until it may take the foreground from us: where the system locks
// the foreground, a key press then reaches the saver and not the program
// underneath.
OwnedHandle startRenderer(const std::wstring& path, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    std::wstring commandLine = L"\"" + path + L"\"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &process)) {
        return {};
    }
    const OwnedHandle thread(process.hThread);
    AllowSetForegroundWindow(process.dwProcessId);
    ResumeThread(thread.get());
    return OwnedHandle(process.hProcess);
}

// The run behind the saver window: what the start-up gave it, and the music
// it plays from that.
class SaverRun {
public:
    explicit SaverRun(SaverRunStart start) : start_(std::move(start)), music_(start_.music) {}

    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void loadStep(HWND window);
    void closeStep();
    void onTimer(HWND window, UINT_PTR timer);
    bool rendererGone();

    SaverRunStart start_;
    std::wstring Renderer_Path;
    OwnedHandle renderer_;
    ULONGLONG rendererStarted_ = 0;
    bool rendererSeen_ = false;
    bool closed_ = false;
    MusicSource music_;
};

void SaverRun::loadStep(HWND window) {
    Renderer_Path = rendererFilePath();
    renderer_ = startRenderer(Renderer_Path, programFolder());
    rendererStarted_ = GetTickCount64();
    music_.start();
    if (const std::optional<MusicTimer>& timer = music_.timer()) {
        SetTimer(window, timer->id, timer->interval, nullptr);
    }
}

// A renderer that runs but has not shown its window yet is still starting,
// for a while: it is given that time while the queue stays answered. Once
// its window has been seen, the first look that misses it ends the run.
bool SaverRun::rendererGone() {
    if (FindWindowA(nullptr, contract::rendererTitle) != nullptr) {
        rendererSeen_ = true;
        return false;
    }
    return rendererSeen_ || !running(renderer_) || GetTickCount64() - rendererStarted_ >= rendererStartGrace;
}

void SaverRun::closeStep() {
    // Once: a close that comes while the process is ending has nothing to do.
    if (closed_) {
        return;
    }
    closed_ = true;
    music_.stop();
    if (start_.cursorHidden) {
        // The count from hiding is negative, so as a flag it shows the cursor.
        start_.Cursor_Count = ShowCursor(start_.Cursor_Count);
    }
    processEnd().end(0);
}

void SaverRun::onTimer(HWND window, UINT_PTR timer) {
    if (timer == Timer3) {
        if (rendererGone()) {
            KillTimer(window, Timer3);
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
        return;
    }
    const std::optional<MusicTimer>& music = music_.timer();
    if (music && timer == music->id && !music_.tick()) {
        KillTimer(window, timer);
    }
}

LRESULT SaverRun::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetTimer(window, Timer3, timer3Interval, nullptr);
        loadStep(window);
        return 0;
    case WM_TIMER:
        onTimer(window, wParam);
        return 0;
    case WM_CLOSE:
        closeStep();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != 0) {
            closeStep();
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The window owns its run.
LRESULT CALLBACK saverRunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowOwner<SaverRun, WindowLifetime::owned> run(window, message, lParam);
    if (!run) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return run->onMessage(window, message, wParam, lParam);
}

} // namespace

bool openSaverWindow(SaverRunStart start) {
    registerWindowClass({.name = saverClassName.text, .procedure = saverRunProc});
    auto run = std::make_unique<SaverRun>(std::move(start));
    // Never shown: a borderless top-level window whose caption others look for.
    return CreateWindowExW(WS_EX_TOOLWINDOW, saverClassName.text, saverCaption.text, WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, GetModuleHandleW(nullptr), &run) != nullptr;
}

} // namespace solvane
