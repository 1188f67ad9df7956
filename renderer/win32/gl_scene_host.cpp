#include "gl_scene_host.h"

#include "pixel_format.h"
#include "scene/random.h"
#include "scene/scene.h"

#include <mmsystem.h>

#include <ctime>

namespace solvane {

namespace {

struct HostState {
    HDC dc = nullptr;
    HGLRC context = nullptr;
    WglFramePlatform platform;
};

HostState host;

} // namespace

std::uint32_t WglFramePlatform::timeMillis() { return timeGetTime(); }

void WglFramePlatform::swapBuffers() { wglSwapLayerBuffers(host.dc, WGL_SWAP_MAIN_PLANE); }

void initScene(HWND window) { initScene(window, static_cast<std::uint32_t>(std::time(nullptr)), host.platform); }

void initScene(HWND window, std::uint32_t seed, FramePlatform& platform) {
    seedSceneRandom(seed);
    host.dc = GetDC(window);
    selectPixelFormat(host.dc);
    host.context = wglCreateContext(host.dc);
    RECT rect{};
    GetClientRect(window, &rect);
    wglMakeCurrent(host.dc, host.context);
    setupScene({rect.left, rect.top, rect.right, rect.bottom}, platform);
}

void shutdownScene(HWND window) {
    teardownScene();
    ReleaseDC(window, host.dc);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(host.context);
    host.dc = nullptr;
    host.context = nullptr;
}

HDC sceneDeviceContext() { return host.dc; }

} // namespace solvane
