#pragma once

#include "scene/frame_platform.h"

#include <windows.h>

#include <cstdint>

namespace solvane {

// The window's side of the scene: device context, pixel format and GL
// context around the portable set-up, with the multimedia clock and a
// main-plane swap as the frame platform.
void initScene(HWND window);

// The same with a given seed and frame platform (tests and benchmarks).
void initScene(HWND window, std::uint32_t seed, FramePlatform& platform);

void shutdownScene(HWND window);

// The device context the scene draws to while it is set up.
HDC sceneDeviceContext();

// The platform initScene(window) uses: timeGetTime and wglSwapLayerBuffers.
class WglFramePlatform : public FramePlatform {
public:
    std::uint32_t timeMillis() override;
    void swapBuffers() override;
};

} // namespace solvane
