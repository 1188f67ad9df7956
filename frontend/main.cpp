#include "command_line.h"
#include "startup.h"
#include "winutils/library_search.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    solvane::searchLibrariesInSystemFolderOnly();
    if (!solvane::runStartup(solvane::argumentsOf(GetCommandLineW()))) {
        return 0;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
