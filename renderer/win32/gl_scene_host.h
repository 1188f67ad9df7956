#pragma once

#include "scene/frame_platform.h"
#include "scene/scene.h"
#include "win32/wgl_context.h"
#include "win32/wgl_platform.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace solvane {

// The window's GL side: its context, and one scene per monitor the window
// covers. Creating it is the scene set-up, destroying it the teardown (the
// scenes, then the context). Without a current context it holds no scenes
// and draws nothing, so no GL call is made.
class GlSceneHost {
public:
    // With the multimedia clock and a main-plane swap. The scenes read
    // `inputs`, which must outlive the host.
    GlSceneHost(HWND window, SceneInputs& inputs);
    // With a given clock and swap (tests and benchmarks).
    GlSceneHost(HWND window, FramePlatform& platform, SceneInputs& inputs);
    ~GlSceneHost();
    GlSceneHost(const GlSceneHost&) = delete;
    GlSceneHost& operator=(const GlSceneHost&) = delete;

    bool ready() const { return scenes_ != nullptr; }
    bool requestSwapInterval(int interval) { return context_.requestSwapInterval(interval); }
    void drawFrame();

    // New scenes for the window's present size and monitors.
    void followLayout();

    HDC deviceContext() const { return context_.dc(); }
    const SceneSet* scenes() const { return scenes_.get(); }

private:
    // Declared in set-up order: the scenes go first, the context last.
    HWND window_;
    WglContext context_;
    std::optional<WglFramePlatform> ownPlatform_;
    FramePlatform& platform_;
    SceneInputs& inputs_;
    std::unique_ptr<SceneSet> scenes_;
};

} // namespace solvane
