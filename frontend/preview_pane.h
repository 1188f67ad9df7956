#pragma once

#include <cstdint>

namespace solvane {

// Opens the preview pane Brisel_R inside the host's preview window and shows
// the stored still there. When the pane is closed or destroyed, or within a
// second once the host is no longer a window, the thread's message loop is
// asked to end. False when the host is no window or the pane window could
// not be made: then nothing would ever end that loop.
bool openPreviewPane(std::int32_t hostHandle);

// The pane's working sizes: the host's outer size in twips, as 16-bit
// values; a dimension beyond 32767 twips stays 0.
struct PaneSize {
    std::int16_t widthTwips = 0;
    std::int16_t heightTwips = 0;
};
PaneSize paneSizeFor(long widthPixels, long heightPixels, double twipsX, double twipsY);

} // namespace solvane
