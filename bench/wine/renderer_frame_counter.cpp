// The renderer program as shipped, plus a report of its frames written at
// exit to the file named on the command line:
//   renderer_frame_counter [--unpaced] REPORT
// --unpaced draws as fast as GL can, without the display's pace, so that the
// frame rate measures the GL work.
#include "clock_bridge.h"
#include "win32/saver_main.h"

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    static constexpr char unpacedSwitch[] = "--unpaced ";
    solvane::SaverTestOptions options;
    if (std::strncmp(commandLine, unpacedSwitch, sizeof unpacedSwitch - 1) == 0) {
        options.unpaced = true;
        commandLine += sizeof unpacedSwitch - 1;
    }
    timeBeginPeriod(1);
    const ClockBridge clock;
    solvane::FrameCount drawn{};
    const int result = solvane::saverMain(instance, &drawn, options);
    if (std::FILE* report = std::fopen(commandLine, "w")) {
        std::fprintf(report,
                     "frames=%lu first_frame_unix_ms=%.1f last_frame_unix_ms=%.1f exit_unix_ms=%.1f refresh_hz=%.2f\n",
                     drawn.frames, clock.unixMillis(drawn.firstMillis), clock.unixMillis(drawn.lastMillis),
                     clock.nowUnixMillis(), drawn.refreshHz);
        std::fclose(report);
    }
    timeEndPeriod(1);
    return result;
}
