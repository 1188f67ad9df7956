// Floor frames in the same kind of window and pixel format as the saver's,
// at the same thread priority, for the given seconds, with a report:
//   floor_frames REPORT SECONDS           clear, one textured quad over the
//                                         whole window, one additive quad, swap
//   floor_frames REPORT SECONDS picture   the picture floor: per monitor the
//                                         feedback square drawn, read back and
//                                         loaded, one clamped textured quad
//                                         over the monitor, swap
#include "clock_bridge.h"
#include "floors.h"
#include "scene/scene_settings.h"
#include "win32/gl_scene_host.h"
#include "win32/monitors.h"
#include "win32/pixel_format.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

LRESULT CALLBACK floorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    timeBeginPeriod(1);
    const ClockBridge clock;
    char reportPath[MAX_PATH] = {};
    int seconds = 10;
    char mode[16] = {};
    std::sscanf(commandLine, "%259s %d %15s", reportPath, &seconds, mode);
    const bool picture = std::strcmp(mode, "picture") == 0;

    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = floorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "SolvaneFloorFrames";
    RegisterClassA(&windowClass);
    // Over every monitor, as the saver's window; with one monitor, the screen.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "SolvaneFloorFrames", "Floor frames",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, left, top, width, height,
                                  nullptr, nullptr, instance, nullptr);
    // The renderer draws at the lowest thread priority; so does its floor.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    HDC dc = GetDC(window);
    solvane::selectPixelFormat(dc);
    HGLRC context = wglCreateContext(dc);
    wglMakeCurrent(dc, context);
    glViewport(0, 0, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    constexpr int size = 256;
    std::vector<std::uint8_t> pixels(size * size * 3, 90);
    const unsigned int texture = solvane::makeFeedbackLikeTexture(size, pixels.data());
    std::optional<solvane::PictureFloor> pictureFloor;
    if (picture) {
        pictureFloor.emplace(width, height, solvane::monitorRects(window),
                             solvane::fixedSceneSettings.feedbackSizeLog2);
    }

    unsigned long frames = 0;
    double first = 0;
    double last = 0;
    const DWORD end = timeGetTime() + static_cast<DWORD>(seconds) * 1000;
    MSG message{};
    bool running = true;
    while (running && static_cast<LONG>(timeGetTime() - end) < 0) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            }
            DispatchMessageA(&message);
        }
        if (pictureFloor) {
            pictureFloor->draw();
        } else {
            solvane::drawTwoQuadFloor(height, {{0, 0, width, height}}, texture);
        }
        wglSwapLayerBuffers(dc, WGL_SWAP_MAIN_PLANE);
        last = clock.nowUnixMillis();
        if (frames++ == 0) {
            first = last;
        }
        Sleep(0);
    }
    pictureFloor.reset(); // its textures, while the context is current
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    if (std::FILE* report = std::fopen(reportPath, "w")) {
        std::fprintf(report, "frames=%lu first_frame_unix_ms=%.1f last_frame_unix_ms=%.1f\n", frames, first, last);
        std::fclose(report);
    }
    timeEndPeriod(1);
    return 0;
}
