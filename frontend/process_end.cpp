#include "process_end.h"

#include "seam.h"

#include <windows.h>

namespace solvane {

namespace {

class PlatformProcessEnd final : public ProcessEnd {
public:
    void end(unsigned code) override { ExitProcess(code); }
};

PlatformProcessEnd platformEnd;
Seam<ProcessEnd> seam(platformEnd);

} // namespace

ProcessEnd& processEnd() { return seam.current(); }
ProcessEnd* installProcessEnd(ProcessEnd* end) { return seam.install(end); }

} // namespace solvane
