// solvane: the saver's scene on X11 with GLX, in a window it is given, in the
// root window, or full-screen in a window of its own; one picture per monitor
// where it covers the whole screen.
#include "x11/options.h"
#include "x11/saver_main.h"
#include "x11/stop_signals.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    solvane::StopSignals stop;
    if (!stop.ready()) {
        std::perror("solvane: cannot watch for stop signals");
        return 1;
    }
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto options = solvane::parseHostOptions(arguments, std::getenv("XSCREENSAVER_WINDOW"), error);
    if (!options) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), solvane::hostUsage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(solvane::hostUsage().c_str(), stdout);
        return 0;
    }
    return solvane::saverMain(*options, stop);
}
