#include "saver_run.h"

#include "command_line.h"
#include "contract.h"
#include "forms/window_class.h"
#include "music/music_player.h"
#include "settings_file.h"
#include "startup.h"

#include <windows.h>

#include <string>

namespace solvane {

namespace {

constexpr auto saverClassName = contract::wide(contract::saverRunClass);
constexpr auto saverCaption = contract::wide(contract::saverRunTitle);
constexpr UINT_PTR Timer1 = 1; // file repeat
constexpr UINT_PTR Timer2 = 2; // CD poll
constexpr UINT_PTR Timer3 = 3; // renderer watch
constexpr UINT timer1Interval = 1000;
constexpr UINT timer2Interval = 200;
constexpr UINT timer3Interval = 50;
// How long the load step waits for the renderer's window, and how often it looks.
constexpr DWORD rendererReadyTimeout = 15000;
constexpr DWORD rendererPollInterval = 10;

struct SaverRunState {
    std::wstring Renderer_Path;
    bool timer2Enabled = false;
};

SaverRunState run;

enum class FileType { Other, Wave, Mp3 };

FileType musicFileType() {
    const std::wstring& file = musicSettings().BGM_File;
    if (file.size() < 3) {
        return FileType::Other;
    }
    std::wstring type = file.substr(file.size() - 3);
    CharUpperBuffW(type.data(), static_cast<DWORD>(type.size()));
    if (type == L"WAV") {
        return FileType::Wave;
    }
    return type == L"MP3" ? FileType::Mp3 : FileType::Other;
}

// The renderer's window must exist by the first renderer watch. Waiting for
// input idle is not enough: a renderer that draws from PeekMessage may never
// count as idle, so wait for the window itself, or for the renderer to end.
void waitForRendererWindow(HANDLE renderer) {
    const DWORD start = GetTickCount();
    while (FindWindowA(nullptr, contract::rendererTitle) == nullptr) {
        if (WaitForSingleObject(renderer, rendererPollInterval) != WAIT_TIMEOUT ||
            GetTickCount() - start >= rendererReadyTimeout) {
            return;
        }
    }
}

void startRenderer() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    std::wstring commandLine = L"\"" + run.Renderer_Path + L"\"";
    PROCESS_INFORMATION process{};
    if (CreateProcessW(run.Renderer_Path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        waitForRendererWindow(process.hProcess);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void loadStep(HWND window) {
    run.Renderer_Path = rendererFilePath();
    startRenderer();
    const MusicSettings& music = musicSettings();
    if (music.BGM_Kind == 1) {
        OpenCd();
        SetTimer(window, Timer2, timer2Interval, nullptr);
        run.timer2Enabled = true;
    } else if (music.BGM_Kind == 2) {
        switch (musicFileType()) {
        case FileType::Wave:
            PlayWave();
            break;
        case FileType::Mp3:
            OpenAndPlayFile();
            SetTimer(window, Timer1, timer1Interval, nullptr);
            break;
        case FileType::Other:
            break;
        }
    }
}

[[noreturn]] void closeStep() {
    if (run.timer2Enabled) {
        run.timer2Enabled = false;
        CloseCd();
    }
    if (musicSettings().BGM_Kind == 2) {
        switch (musicFileType()) {
        case FileType::Wave:
            StopWave();
            break;
        case FileType::Mp3:
            CloseFile();
            break;
        case FileType::Other:
            break;
        }
    }
    StartupState& startup = startupState();
    if (requestLetter(startup.arguments) == L"S") {
        // The count from hiding is negative, so as a flag it shows the cursor.
        startup.Cursor_Count = ShowCursor(startup.Cursor_Count);
    }
    ExitProcess(0);
}

void onTimer(HWND window, UINT_PTR timer) {
    switch (timer) {
    case Timer1:
        RepeatFile();
        break;
    case Timer2:
        PollCd();
        if (CD_PollOn() == 0) {
            KillTimer(window, Timer2);
            run.timer2Enabled = false;
        }
        break;
    case Timer3:
        if (FindWindowA(nullptr, contract::rendererTitle) == nullptr) {
            KillTimer(window, Timer3);
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK saverRunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

} // namespace

bool openSaverWindow() {
    registerWindowClass({.name = saverClassName.text, .procedure = saverRunProc});
    // Never shown: a borderless top-level window whose caption others look for.
    return CreateWindowExW(WS_EX_TOOLWINDOW, saverClassName.text, saverCaption.text, WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr) != nullptr;
}

} // namespace solvane
