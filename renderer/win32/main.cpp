#include "win32/saver_main.h"
#include "winutils/library_search.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    solvane::searchLibrariesInSystemFolderOnly();
    return solvane::saverMain(instance);
}
