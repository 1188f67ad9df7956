#pragma once

#include "scene/leave_rule.h"
#include "x11/target.h"

#include <optional>

namespace solvane {

struct EventState {
    // The pointer rule of a window of our own; a given window or the root
    // leaves input to whoever owns it.
    std::optional<PointerLeaveRule> rules;
    bool focused = false;
    bool relayout = false;
    int randrEventBase = -1; // RandR's first event number, when it tells of screen changes
};

// Asks for what the target needs to hear of: screen changes where it covers
// the whole screen, and the pointer's place to measure moves from.
EventState startEvents(Display* display, const Target& target);

// Handles the queued events; false when the saver is to end.
bool handleEvents(Display* display, Target& target, EventState& state);

} // namespace solvane
