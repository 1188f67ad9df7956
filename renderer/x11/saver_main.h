#pragma once

#include "x11/options.h"
#include "x11/stop_signals.h"

namespace solvane {

// The program once its options are read: target, GL context, events and
// the frame loop at the display's pace, until input, the target's end or a
// stop signal ends it. Returns the exit code.
int saverMain(const HostOptions& options, StopSignals& stop);

} // namespace solvane
