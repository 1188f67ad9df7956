#include "x11/options.h"

#include <cstdint>
#include <limits>

namespace solvane {

namespace {

constexpr std::uint64_t largestUnsigned32 = 0xFFFFFFFF;

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hex && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hex && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decimal digits, or 0x and hexadecimal digits, and nothing else: no sign,
// no blanks (strtoul would skip them and wrap " -1" round), at most `limit`.
bool parseNumber(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t first = hex ? 2 : 0;
    if (text.size() <= first) {
        return false;
    }
    value = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        const int digit = digitValue(text[i], hex);
        if (digit < 0 || value > (limit - static_cast<std::uint64_t>(digit)) / (hex ? 16 : 10)) {
            return false;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    return true;
}

// An X window: a resource id the server can give, never None.
bool parseWindowId(const std::string& text, unsigned long& window) {
    std::uint64_t value = 0;
    if (!parseNumber(text, largestResourceId, value) || value == 0) {
        return false;
    }
    window = static_cast<unsigned long>(value);
    return true;
}

// Options screen-saver daemons and their settings programs pass to every
// program they host, meaningless here: the colormap and visual are chosen
// for GL.
bool isIgnoredSwitch(const std::string& name) { return name == "-install" || name == "-no-install"; }
bool isIgnoredWithValue(const std::string& name) { return name == "-visual"; }

} // namespace

std::string hostUsage() {
    return "usage: solvane [-window | -root | -window-id ID] [-fps | -no-fps] [-delay USEC]\n"
           "  Draws the Solvane screen saver with OpenGL on X11, one frame per refresh of\n"
           "  the display.\n"
           "  -window        a full-screen window of its own (the default), ended by a key,\n"
           "                 a button, a mouse move of more than 4 pixels or losing focus\n"
           "  -root          draw into the root window, or into XSCREENSAVER_WINDOW when\n"
           "                 a screen-saver daemon has set it\n"
           "  -window-id ID  draw into the existing window ID (decimal or 0x hex), following\n"
           "                 its size, until it goes away\n"
           "  -fps, -no-fps  print frames per second to standard error once a second, or not\n"
           "  -delay USEC    at least USEC microseconds from the start of one frame to the\n"
           "                 start of the next (0, the default: the display's pace alone)\n"
           "  -install, -visual V  accepted and ignored\n"
           "  --help         this text\n"
           "  Testing: --seed N, --step-ms MS (fixed clock step a frame),\n"
           "           --unpaced (frames as fast as OpenGL draws them, not at the display's\n"
           "           pace; for benchmarks),\n"
           "           --dump-after N FILE (write frame N as raw RGB rows, top first, and end),\n"
           "           --stats (swap interval and refresh rate; size, scenes and live textures\n"
           "           after each layout; frames and ignored X errors at the end),\n"
           "           --unselect-window ID (select no input on window ID after each layout and\n"
           "           frame)\n";
}

std::optional<HostOptions> parseHostOptions(const std::vector<std::string>& arguments, const char* environmentWindow,
                                            std::string& error) {
    HostOptions options;
    // -window and -root are one switch, as for every hosted program: the last
    // one counts. A window id names a target of its own and clashes with both.
    std::string placement;
    std::string windowIdOption;
    auto clash = [&](const std::string& later, const std::string& earlier) {
        error = "solvane: " + later + " and " + earlier + " exclude each other";
        return std::nullopt;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // Hosted programs take single-dash long options; accept both dash forms.
        const std::string name = argument.rfind("--", 0) == 0 ? argument.substr(1) : argument;
        auto refuse = [&] {
            error = "solvane: " + argument + " needs a number";
            return false;
        };
        // The option's value as a number up to `limit`.
        auto value = [&](std::uint64_t limit, std::uint64_t& number) {
            if (i + 1 >= arguments.size() || !parseNumber(arguments[i + 1], limit, number)) {
                return refuse();
            }
            ++i;
            return true;
        };
        auto window = [&](unsigned long& id) {
            if (i + 1 >= arguments.size() || !parseWindowId(arguments[i + 1], id)) {
                return refuse();
            }
            ++i;
            return true;
        };
        std::uint64_t number = 0;
        unsigned long id = 0;
        if (name == "-help" || name == "-h") {
            options.help = true;
        } else if (name == "-fps" || name == "-no-fps") {
            options.showFps = name == "-fps";
        } else if (isIgnoredSwitch(name) || isIgnoredWithValue(name)) {
            // A value missing at the end does no harm: nothing would use it.
            if (isIgnoredWithValue(name) && i + 1 < arguments.size()) {
                ++i;
            }
        } else if (name == "-delay") {
            if (!value(largestUnsigned32, number)) {
                return std::nullopt;
            }
            options.delayMicros = static_cast<std::uint32_t>(number);
        } else if (name == "-root" || name == "-window") {
            if (!windowIdOption.empty()) {
                return clash(argument, windowIdOption);
            }
            placement = argument;
            options.mode = name == "-root" ? HostMode::Root : HostMode::OwnWindow;
        } else if (name == "-window-id") {
            if (!window(id)) {
                return std::nullopt;
            }
            if (!placement.empty()) {
                return clash(argument, placement);
            }
            windowIdOption = argument;
            options.mode = HostMode::GivenWindow;
            options.windowId = id;
        } else if (name == "-stats") {
            options.stats = true;
        } else if (name == "-unpaced") {
            options.unpaced = true;
        } else if (name == "-unselect-window") {
            if (!window(id)) {
                return std::nullopt;
            }
            options.unselectWindow = id;
        } else if (name == "-seed") {
            if (!value(largestUnsigned32, number)) {
                return std::nullopt;
            }
            options.seed = static_cast<std::uint32_t>(number);
        } else if (name == "-step-ms") {
            if (!value(largestUnsigned32, number)) {
                return std::nullopt;
            }
            options.stepMillis = static_cast<std::uint32_t>(number);
        } else if (name == "-dump-after") {
            if (!value(std::numeric_limits<int>::max(), number) || i + 1 >= arguments.size()) {
                error = "solvane: --dump-after needs a frame count and a file";
                return std::nullopt;
            }
            options.dumpAfter = static_cast<int>(number);
            options.dumpPath = arguments[++i];
        } else {
            error = "solvane: unknown option " + argument;
            return std::nullopt;
        }
    }
    // A daemon names its own window here and starts its programs with -root:
    // that window stands in for the root, which it covers. A program started
    // otherwise, from a shell that inherited the variable, leaves it alone.
    if (options.mode == HostMode::Root && environmentWindow != nullptr && *environmentWindow != '\0') {
        unsigned long window = 0;
        if (!parseWindowId(environmentWindow, window)) {
            error = std::string("solvane: XSCREENSAVER_WINDOW is not a window id: ") + environmentWindow;
            return std::nullopt;
        }
        options.mode = HostMode::GivenWindow;
        options.windowId = window;
    }
    return options;
}

} // namespace solvane
