#include "library_search.h"
#include "saver_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    solvane::searchLibrariesInSystemFolderOnly();
    return solvane::saverMain(instance);
}
