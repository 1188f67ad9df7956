#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace solvane {

enum class HostMode { OwnWindow, GivenWindow, Root };

// The highest id an X server gives a resource: ids have 29 bits.
inline constexpr unsigned long largestResourceId = 0x1FFFFFFF;

struct HostOptions {
    HostMode mode = HostMode::OwnWindow;
    unsigned long windowId = 0;
    bool showFps = false;
    bool help = false;
    // At least this long from the start of one frame to the start of the
    // next, on top of the display's pace: screen-saver daemons' frame-rate
    // setting.
    std::uint32_t delayMicros = 0;
    // For tests and benchmarks: frames as fast as GL draws them, without the
    // display's pace (the delay still holds); a fixed seed, a fixed clock
    // step per frame, and writing the frame after a given count as raw RGB.
    bool unpaced = false;
    std::optional<std::uint32_t> seed;
    std::optional<std::uint32_t> stepMillis;
    int dumpAfter = 0;
    std::string dumpPath;
    // Print the size, scene count and live GL textures after each layout,
    // and at the end the frames drawn and the X errors that were ignored.
    bool stats = false;
    // Selects no input on this window after every frame: an X error on
    // demand when it does not exist.
    std::optional<unsigned long> unselectWindow;
};

// Parses the command line; `environmentWindow` is XSCREENSAVER_WINDOW, if
// set. On a bad argument returns nothing and sets `error`.
std::optional<HostOptions> parseHostOptions(const std::vector<std::string>& arguments, const char* environmentWindow,
                                            std::string& error);

std::string hostUsage();

} // namespace solvane
