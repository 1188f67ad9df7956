#pragma once

#include <cstdint>

namespace solvane {

// What a frame needs from its host: the millisecond clock and presenting the
// back buffer. Context creation and pixel format stay with the host.
class FramePlatform {
public:
    virtual ~FramePlatform() = default;
    virtual std::uint32_t timeMillis() = 0;
    virtual void swapBuffers() = 0;
};

} // namespace solvane
