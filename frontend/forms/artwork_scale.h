#pragma once

#include "forms/gdi.h"
#include "forms/twips.h"

#include <windows.h>

namespace solvane {

// The stored artwork is drawn for 96 dots per inch: each of its pixels is 15
// twips, and like the rest of a form it keeps that physical size on a monitor
// with more dots per inch.
inline constexpr double artworkTwipsPerPixel = 15.0;

// The size in pixels at `scale` of artwork `width` x `height` pixels large.
SIZE artworkSize(int width, int height, const TwipsScale& scale);

// A 24-bit copy of `source` (`width` x `height` pixels) stretched to `size`
// with the platform's halftone filter; empty when it cannot be made.
OwnedBitmap resampledBitmap(HBITMAP source, int width, int height, SIZE size);

} // namespace solvane
