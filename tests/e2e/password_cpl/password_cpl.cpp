// Stand-in for the Windows 9x password module: VerifyScreenSavePwd answers
// what the scenario wrote into a file and logs every call to another file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int readAnswer() {
    const char* path = std::getenv("SOLVANE_PASSWORD_ANSWER_FILE");
    int answer = 1;
    if (path != nullptr) {
        if (std::FILE* file = std::fopen(path, "r")) {
            if (std::fscanf(file, "%d", &answer) != 1) {
                answer = 1;
            }
            std::fclose(file);
        }
    }
    return answer;
}

void logCall(HWND owner, int answer) {
    const char* path = std::getenv("SOLVANE_PASSWORD_LOG");
    if (path == nullptr) {
        return;
    }
    BOOL running = FALSE;
    const BOOL known = SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    char title[64] = {};
    GetWindowTextA(owner, title, sizeof title);
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "call owner=%llu title=%s running=%s answer=%d\n",
                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)), title,
                     known ? (running ? "1" : "0") : "unknown", answer);
        std::fclose(file);
    }
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    const int answer = readAnswer();
    logCall(owner, answer);
    return answer != 0 ? TRUE : FALSE;
}
