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

} // namespace

std::string hostUsage() {
    return "usage: solvane [-window-id ID | -root] [-fps]\n"
           "  Draws the Solvane screen saver with OpenGL on X11.\n"
           "  -window-id ID  draw into the existing window ID (decimal or 0x hex), following\n"
           "                 its size, until it goes away; XSCREENSAVER_WINDOW does the same\n"
           "  -root          draw into the root window\n"
           "  (neither)      a full-screen window of its own, ended by a key, a button,\n"
           "                 a mouse move of more than 4 pixels or losing focus\n"
           "  -fps           print frames per second to standard error once a second\n"
           "  --help         this text\n"
           "  Testing: --seed N, --step-ms MS (fixed clock step a frame),\n"
           "           --dump-after N FILE (write frame N as raw RGB rows, top first, and end),\n"
           "           --stats (size, scenes and live textures after each layout)\n";
}

std::optional<HostOptions> parseHostOptions(const std::vector<std::string>& arguments,
                                            const char* environmentWindow, std::string& error) {
    HostOptions options;
    bool modeGiven = false;
    auto setMode = [&](HostMode mode) {
        if (modeGiven) {
            error = "solvane: -window-id and -root exclude each other";
            return false;
        }
        modeGiven = true;
        options.mode = mode;
        return true;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // xscreensaver passes single-dash long options; accept both dash forms.
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
        } else if (name == "-fps") {
            options.showFps = true;
        } else if (name == "-root") {
            if (!setMode(HostMode::Root)) {
                return std::nullopt;
            }
        } else if (name == "-window-id") {
            if (!value(number) || !setMode(HostMode::GivenWindow)) {
                return std::nullopt;
            }
            options.windowId = number;
        } else if (name == "-stats") {
            options.stats = true;
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
    if (!modeGiven && environmentWindow != nullptr && *environmentWindow != '\0') {
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
