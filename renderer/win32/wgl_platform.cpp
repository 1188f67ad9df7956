#include "win32/wgl_platform.h"

#include <mmsystem.h>

namespace solvane {

std::uint32_t WglFramePlatform::timeMillis() { return timeGetTime(); }

void WglFramePlatform::swapBuffers() { wglSwapLayerBuffers(dc_, WGL_SWAP_MAIN_PLANE); }

} // namespace solvane
