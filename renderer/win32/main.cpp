#include "saver_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return solvane::saverMain(instance); }
