#include "process_end.h"

#include <windows.h>

namespace solvane {

namespace {

class PlatformProcessEnd final : public ProcessEnd {
public:
    void end(unsigned code) override { ExitProcess(code); }
};

PlatformProcessEnd platformEnd;
ProcessEnd* currentEnd = &platformEnd;

} // namespace

ProcessEnd& processEnd() { return *currentEnd; }

ProcessEnd* installProcessEnd(ProcessEnd* end) {
    ProcessEnd* previous = currentEnd;
    currentEnd = end != nullptr ? end : &platformEnd;
    return previous;
}

} // namespace solvane
