#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace solvane {

namespace {

// Decimal or 0x-prefixed hexadecimal, the whole text, above zero.
bool parseNumber(const std::string& text, unsigned long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = std::strtoul(text.c_str(), &end, hex ? 16 : 10);
    return errno == 0 && end != nullptr && *end == '\0' && end != text.c_str() && (!hex || text.size() > 2);
}

// Options screen-saver daemons and their settings programs pass to every
// program they host, meaningless here: the colormap and visual are chosen
// for GL, and frames are paced by the clock, not by a delay.
bool isIgnoredSwitch(const std::string& name) { return name == "-install" || name == "-no-install"; }
bool isIgnoredWithValue(const std::string& name) { return name == "-visual" || name == "-delay"; }

} // namespace

std::string hostUsage() {
    return "usage: solvane [-window | -root | -window-id ID] [-fps | -no-fps]\n"
           "  Draws the Solvane screen saver with OpenGL on X11.\n"
           "  -window        a full-screen window of its own (the default), ended by a key,\n"
           "                 a button, a mouse move of more than 4 pixels or losing focus\n"
           "  -root          draw into the root window, or into XSCREENSAVER_WINDOW when\n"
           "                 a screen-saver daemon has set it\n"
           "  -window-id ID  draw into the existing window ID (decimal or 0x hex), following\n"
           "                 its size, until it goes away; XSCREENSAVER_WINDOW alone does\n"
           "                 the same\n"
           "  -fps, -no-fps  print frames per second to standard error once a second, or not\n"
           "  -install, -visual V, -delay N  accepted and ignored\n"
           "  --help         this text\n"
           "  Testing: --seed N, --step-ms MS (fixed clock step a frame),\n"
           "           --dump-after N FILE (write frame N as raw RGB rows, top first, and end),\n"
           "           --stats (size, scenes and live textures after each layout; frames and\n"
           "           ignored X errors at the end),\n"
           "           --unselect-window ID (select no input on window ID after each layout and\n"
           "           frame)\n";
}

std::optional<HostOptions> parseHostOptions(const std::vector<std::string>& arguments,
                                            const char* environmentWindow, std::string& error) {
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
        auto value = [&](unsigned long& number) {
            if (i + 1 >= arguments.size() || !parseNumber(arguments[i + 1], number)) {
                error = "solvane: " + argument + " needs a number";
                return false;
            }
            ++i;
            return true;
        };
        unsigned long number = 0;
        if (name == "-help" || name == "-h") {
            options.help = true;
        } else if (name == "-fps" || name == "-no-fps") {
            options.showFps = name == "-fps";
        } else if (isIgnoredSwitch(name) || isIgnoredWithValue(name)) {
            // A value missing at the end does no harm: nothing would use it.
            if (isIgnoredWithValue(name) && i + 1 < arguments.size()) {
                ++i;
            }
        } else if (name == "-root" || name == "-window") {
            if (!windowIdOption.empty()) {
                return clash(argument, windowIdOption);
            }
            placement = argument;
            options.mode = name == "-root" ? HostMode::Root : HostMode::OwnWindow;
        } else if (name == "-window-id") {
            if (!value(number)) {
                return std::nullopt;
            }
            if (!placement.empty()) {
                return clash(argument, placement);
            }
            windowIdOption = argument;
            options.mode = HostMode::GivenWindow;
            options.windowId = number;
        } else if (name == "-stats") {
            options.stats = true;
        } else if (name == "-unselect-window") {
            if (!value(number)) {
                return std::nullopt;
            }
            options.unselectWindow = number;
        } else if (name == "-seed") {
            if (!value(number)) {
                return std::nullopt;
            }
            options.seed = static_cast<std::uint32_t>(number);
        } else if (name == "-step-ms") {
            if (!value(number)) {
                return std::nullopt;
            }
            options.stepMillis = static_cast<std::uint32_t>(number);
        } else if (name == "-dump-after") {
            if (!value(number) || i + 1 >= arguments.size()) {
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
    // that window stands in for the root, which it covers. Only -window and
    // -window-id choose otherwise.
    const bool explicitWindow = !placement.empty() && options.mode == HostMode::OwnWindow;
    if (windowIdOption.empty() && !explicitWindow && environmentWindow != nullptr && *environmentWindow != '\0') {
        unsigned long number = 0;
        if (!parseNumber(environmentWindow, number)) {
            error = std::string("solvane: XSCREENSAVER_WINDOW is not a window id: ") + environmentWindow;
            return std::nullopt;
        }
        options.mode = HostMode::GivenWindow;
        options.windowId = number;
    }
    return options;
}

} // namespace solvane
