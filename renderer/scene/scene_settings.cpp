#include "scene_settings.h"

namespace solvane {

namespace {
SceneSettings settings;
}

SceneSettings& sceneSettings() { return settings; }

void assignSceneSettings() { settings = fixedSceneSettings; }

} // namespace solvane
