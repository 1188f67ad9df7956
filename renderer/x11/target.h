#pragma once

#include "scene/screen_layout.h"
#include "x11/options.h"
#include "x11/x_errors.h"
#include "x11/x_resources.h"

#include <memory>
#include <optional>

namespace solvane {

// The window the program draws into: a full-screen one of its own, the
// root, or one it is given; its visual and its size.
struct Target {
    Window window = 0;
    std::unique_ptr<OwnWindow> own;
    VisualInfoHandle visual;
    int width = 0;
    int height = 0;
    // Own window and root cover the whole screen, a picture per monitor;
    // a given window is one picture (a daemon starts one program a monitor).
    bool wholeScreen = false;

    // After the screen changed size: the root follows it (an own window is
    // moved to cover it by whoever handles the change).
    void followScreen(Display* display);
    // Where the target lies on the screen, in root-window coordinates.
    PixelRect rootArea(Display* display) const;
};

// The target the options choose, its loss watched by `errors`; nothing,
// after a message, when it cannot be drawn into.
std::optional<Target> findTarget(Display* display, const HostOptions& options, XErrorJudge& errors);

} // namespace solvane
