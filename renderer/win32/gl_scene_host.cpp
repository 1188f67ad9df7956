#include "win32/gl_scene_host.h"

#include "win32/monitors.h"

namespace solvane {

GlSceneHost::GlSceneHost(HWND window, SceneInputs& inputs)
    : window_(window), context_(window), ownPlatform_(std::in_place, context_.dc()), platform_(*ownPlatform_),
      inputs_(inputs) {
    followLayout();
}

GlSceneHost::GlSceneHost(HWND window, FramePlatform& platform, SceneInputs& inputs)
    : window_(window), context_(window), platform_(platform), inputs_(inputs) {
    followLayout();
}

GlSceneHost::~GlSceneHost() = default;

void GlSceneHost::drawFrame() {
    if (scenes_) {
        scenes_->drawFrame();
    }
}

void GlSceneHost::followLayout() {
    scenes_.reset();
    if (!context_.current()) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    scenes_ = std::make_unique<SceneSet>(client.right, client.bottom, monitorRects(window_), platform_, inputs_);
}

} // namespace solvane
