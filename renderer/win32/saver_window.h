#pragma once

#include "gl_scene_host.h"
#include "password_check.h"
#include "scene/leave_rule.h"

#include <windows.h>

#include <memory>

namespace solvane {

// Frames drawn since the window was created, and the multimedia-clock times
// of the first and the latest; kept for benchmarks.
struct FrameCount {
    unsigned long frames;
    DWORD firstMillis;
    DWORD lastMillis;
};

// The renderer's full-screen window: its input rules, its flags and its
// scene. The window finds this object through its user data.
class SaverWindow {
public:
    explicit SaverWindow(HINSTANCE instance) : instance_(instance) {}
    ~SaverWindow();
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    // Creates the window over `area` (screen coordinates). WM_CREATE runs
    // inside this call: the window comes back retitled, its scene set up.
    HWND create(const RECT& area);

    HWND handle() const { return window_; }
    const GlSceneHost* scene() const { return scene_.get(); }
    FrameCount framesDrawn() const { return drawn_; }

    // One frame when the scene is ready and no password dialog shows;
    // false when nothing could be drawn.
    bool idleFrame();

    // The three stages of the window procedure.
    static LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void applySceneSettings();
    void initScene();
    void shutdownScene();
    bool displayChanged() const;
    void followDisplayChange();
    LRESULT armClose(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onClose(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    void restartPointer();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    RECT covered_{}; // the virtual screen when the window last followed it
    DWORD lastLayoutCheck_ = 0;
    PointerLeaveRule pointer_; // in screen coordinates
    bool closeArmed_ = false;
    PasswordCheck password_;
    bool sceneReady_ = false;
    SceneInputs sceneInputs_; // before the scenes, which read it
    std::unique_ptr<GlSceneHost> scene_;
    FrameCount drawn_{};
};

// The bounding rectangle of all monitors, in screen coordinates; it may
// start at negative coordinates.
RECT virtualScreen();

bool registerSaverClass(HINSTANCE instance);

} // namespace solvane
