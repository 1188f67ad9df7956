// Stand-in for the Windows 9x password module: VerifyScreenSavePwd answers
// what the scenario wrote into a file ("1" or "0", then "hold" to keep its
// dialog open until the release file exists) and logs every call, with the
// path it was loaded from, and every close request its dialog loop hands to
// the saver window, to another file.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// However long the scenario takes, the dialog gives up after this and answers.
constexpr DWORD holdLimitMillis = 60000;
constexpr DWORD pollMillis = 20;

// Checks running in this process: the saver must never start a second one.
int checksOpen = 0;

struct Answer {
    int verdict = 1;
    bool hold = false;
};

Answer readAnswer() {
    Answer answer;
    const char* path = std::getenv("SOLVANE_PASSWORD_ANSWER_FILE");
    if (path == nullptr) {
        return answer;
    }
    if (std::FILE* file = std::fopen(path, "r")) {
        char mode[16] = {};
        const int read = std::fscanf(file, "%d %15s", &answer.verdict, mode);
        if (read < 1) {
            answer.verdict = 1;
        }
        answer.hold = read == 2 && std::strcmp(mode, "hold") == 0;
        std::fclose(file);
    }
    return answer;
}

void logLine(const char* format, ...) {
    const char* path = std::getenv("SOLVANE_PASSWORD_LOG");
    if (path == nullptr) {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(file, format, args);
        va_end(args);
        std::fclose(file);
    }
}

unsigned long long handleNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}

// Which copy of the module was called: the one in the system folder or one
// planted where a search by name would find it.
const char* ownPath() {
    static char path[MAX_PATH] = {};
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownPath), &self);
    GetModuleFileNameA(self, path, sizeof path);
    return path;
}

void logCall(HWND owner, const Answer& answer) {
    BOOL running = FALSE;
    const BOOL known = SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    char title[64] = {};
    GetWindowTextA(owner, title, sizeof title);
    logLine("call module=%s owner=%llu title=%s running=%s answer=%d hold=%d open=%d\n", ownPath(), handleNumber(owner),
            title, known ? (running ? "1" : "0") : "unknown", answer.verdict, answer.hold ? 1 : 0, checksOpen);
}

bool released() {
    const char* path = std::getenv("SOLVANE_PASSWORD_RELEASE_FILE");
    return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A modal dialog as the real module shows one: the owner disabled, a loop of
// its own that dispatches every message of the thread, until released.
void holdDialog(HWND owner) {
    HWND dialog =
        CreateWindowExA(WS_EX_DLGMODALFRAME, "STATIC", "Solvane test password", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100,
                        100, 320, 120, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    EnableWindow(owner, FALSE);
    const ULONGLONG deadline = GetTickCount64() + holdLimitMillis;
    bool quit = false;
    while (!quit && !released() && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMillis, QS_ALLINPUT);
        MSG message{};
        while (!quit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam)); // for the owner's loop, as dialogs do
                quit = true;
                continue;
            }
            if (message.message == WM_CLOSE && message.hwnd == owner) {
                logLine("close-delivered owner=%llu\n", handleNumber(owner));
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (dialog != nullptr) {
        DestroyWindow(dialog);
    }
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    const Answer answer = readAnswer();
    logCall(owner, answer);
    ++checksOpen;
    if (answer.hold) {
        holdDialog(owner);
    }
    --checksOpen;
    logLine("return owner_alive=%d answer=%d\n", IsWindow(owner) ? 1 : 0, answer.verdict);
    return answer.verdict != 0 ? TRUE : FALSE;
}
