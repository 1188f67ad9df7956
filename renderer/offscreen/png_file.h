#pragma once

#include "offscreen/offscreen_context.h"

#include <string>

namespace solvane {

// Writes the image as an 8-bit RGB PNG; false when the file cannot be written.
bool writePng(const RgbImage& image, const std::string& path);

} // namespace solvane
