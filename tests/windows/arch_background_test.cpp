// The dialog's arched background, painted into a real GDI bitmap.
#include "settings_dialog/arch_background.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

class PaintedArch {
public:
    PaintedArch(int width, int height, int addRed, int addGreen, int addBlue) : height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        // One row below the area, where the last line falls.
        bitmap_ = CreateCompatibleBitmap(screen, width, height + 1);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(dc_, bitmap_);
        paintArch(dc_, width, height, addRed, addGreen, addBlue);
    }
    ~PaintedArch() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

TEST(ArchBackgroundTest, LevelsRiseFromTheEdgesToTheMiddle) {
    EXPECT_EQ(archLevel(0, 252), 0);
    EXPECT_EQ(archLevel(126, 252), 220);
    EXPECT_EQ(archLevel(252, 252), 0) << "sin(3.142) rounds to 0 at 220";
    EXPECT_GT(archLevel(63, 252), 140);
    EXPECT_LT(archLevel(63, 252), 170);
    EXPECT_EQ(archLevel(63, 252), archLevel(189, 252));
    EXPECT_EQ(archLevel(5, 0), 0) << "an empty area paints nothing bright";
}

TEST(ArchBackgroundTest, WindowAndPanelTints) {
    const PaintedArch window(479, 252, 0, 0, 30);
    EXPECT_EQ(window.at(0, 0), RGB(0, 0, 30));
    EXPECT_EQ(window.at(478, 126), RGB(220, 220, 250));
    EXPECT_EQ(window.at(200, 252), RGB(0, 0, 30));
    const PaintedArch panel(453, 169, 30, 30, 30);
    EXPECT_EQ(panel.at(10, 0), RGB(30, 30, 30));
    EXPECT_EQ(panel.at(10, 84), RGB(250, 250, 250));
}

} // namespace
} // namespace solvane
