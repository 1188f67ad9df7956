#include "settings_dialog/arch_background.h"

#include "forms/gdi.h"

#include <cmath>

namespace solvane {

namespace {
// The arch's own constant, not pi: the last row falls just past the half turn.
constexpr double halfTurn = 3.142;
constexpr double peakLevel = 220.0;
} // namespace

int archLevel(int row, int height) {
    if (height <= 0) {
        return 0;
    }
    const double k = height / halfTurn;
    return static_cast<int>(std::nearbyint(std::fabs(std::sin(row / k) * peakLevel)));
}

void paintArch(HDC dc, int width, int height, int addRed, int addGreen, int addBlue) {
    for (int row = 0; row <= height; ++row) {
        const int level = archLevel(row, height);
        const OwnedGdi<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(level + addRed, level + addGreen, level + addBlue)));
        const Selection selected(dc, pen.get());
        MoveToEx(dc, 0, row, nullptr);
        LineTo(dc, width, row);
    }
}

} // namespace solvane
