// The renderer program as shipped, plus a report of its frames written at
// exit to the file named on the command line.
#include "clock_bridge.h"
#include "saver_main.h"

#include <cstdio>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    timeBeginPeriod(1);
    const ClockBridge clock;
    solvane::FrameCount drawn{};
    const int result = solvane::saverMain(instance, &drawn);
    if (std::FILE* report = std::fopen(commandLine, "w")) {
        std::fprintf(report, "frames=%lu first_frame_unix_ms=%.1f last_frame_unix_ms=%.1f exit_unix_ms=%.1f\n",
                     drawn.frames, clock.unixMillis(drawn.firstMillis), clock.unixMillis(drawn.lastMillis),
                     clock.nowUnixMillis());
        std::fclose(report);
    }
    timeEndPeriod(1);
    return result;
}
