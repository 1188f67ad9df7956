#pragma once

#include "scene/frame_pacer.h"
#include "scene/leave_rule.h"
#include "win32/display_power.h"
#include "win32/gl_scene_host.h"
#include "win32/password_check.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace solvane {

// Frames drawn since the window was created, the multimedia-clock times of
// the first and the latest, and the display rate they were paced to; kept
// for benchmarks.
struct FrameCount {
    unsigned long frames;
    DWORD firstMillis;
    DWORD lastMillis;
    double refreshHz;
};

// What tests and benchmarks may fix of a run; the program uses the defaults.
struct SaverTestOptions {
    // Frames as fast as GL draws them, without the display's pace.
    bool unpaced = false;
    // The scenes' clock and swap, and their seed, in place of the system's.
    FramePlatform* platform = nullptr;
    std::optional<std::uint32_t> seed;
};

// The renderer's full-screen window: its input rules, its flags and its
// scene. The window finds this object through its user data.
class SaverWindow {
public:
    explicit SaverWindow(HINSTANCE instance, const SaverTestOptions& options = {});
    ~SaverWindow();
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    // Creates the window over `area` (screen coordinates). WM_CREATE runs
    // inside this call: the window comes back retitled, its scene set up.
    HWND create(const RECT& area);

    HWND handle() const { return window_; }
    const GlSceneHost* scene() const { return scene_.get(); }
    FrameCount framesDrawn() const {
        return {drawn_.frames, drawn_.firstMillis, drawn_.lastMillis, pacer_.refreshHz()};
    }

    // Milliseconds until the next frame is due: 0 now; INFINITE while none
    // is to be drawn (no GL, a password dialog, a dark display).
    DWORD millisUntilFrame() const;
    // One frame when the scene is ready, no password dialog shows and the
    // display is lit; false when nothing could be drawn.
    bool idleFrame();
    // Test hook: how the frames are paced.
    const FramePacer& pacer() const { return pacer_; }

    // The three stages of the window procedure.
    static LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void applySceneSettings();
    void initScene();
    void shutdownScene();
    bool canDraw() const;
    bool displayChanged() const;
    void followDisplayChange();
    LRESULT armClose(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onClose(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    void restartPointer();

    HINSTANCE instance_;
    SaverTestOptions options_;
    HWND window_ = nullptr;
    RECT covered_{}; // the virtual screen when the window last followed it
    DWORD lastLayoutCheck_ = 0;
    PointerLeaveRule pointer_; // in screen coordinates
    bool closeArmed_ = false;
    PasswordCheck password_;
    bool sceneReady_ = false;
    SceneInputs sceneInputs_; // before the scenes, which read it
    std::unique_ptr<GlSceneHost> scene_;
    std::optional<DisplayPower> power_;
    FramePacer pacer_{FramePacer::fallbackHz};
    FrameCount drawn_{};
};

// The bounding rectangle of all monitors, in screen coordinates; it may
// start at negative coordinates.
RECT virtualScreen();

bool registerSaverClass(HINSTANCE instance);

} // namespace solvane
