#pragma once

#include "scene/frame_platform.h"

#include <windows.h>

namespace solvane {

// The scene's clock and buffer swap on a WGL window: timeGetTime and a
// main-plane swap.
class WglFramePlatform : public FramePlatform {
public:
    explicit WglFramePlatform(HDC dc) : dc_(dc) {}
    std::uint32_t timeMillis() override;
    void swapBuffers() override;

private:
    HDC dc_;
};

} // namespace solvane
