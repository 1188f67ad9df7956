#pragma once

namespace solvane {

// How the saver run's close step ends the process. The real one ends it at
// once; a test installs another to see the end come, in its place among the
// close step's calls, and carry on.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    virtual void end(unsigned code) = 0;
};

ProcessEnd& processEnd();

// Installs one (nullptr: the real end again) and returns the one it replaces.
ProcessEnd* installProcessEnd(ProcessEnd* end);

} // namespace solvane
