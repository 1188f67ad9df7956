#pragma once

#include <windows.h>

namespace solvane {

// The arched two-tone background of the settings dialog: horizontal lines,
// one a pixel row, whose level rises from 0 at the edges to 220 in the middle.
// Level of row `row` of an area `height` pixels high.
int archLevel(int row, int height);

// Paints rows 0 to height (inclusive) across `width` pixels in the colour
// (level + addRed, level + addGreen, level + addBlue).
void paintArch(HDC dc, int width, int height, int addRed, int addGreen, int addBlue);

} // namespace solvane
