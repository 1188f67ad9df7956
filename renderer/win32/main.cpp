#include "saver_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    solvane::setSaverInstance(instance);
    return solvane::saverMain();
}
