// The dialog's arched background, painted into a real GDI bitmap.
#include "picture.h"
#include "settings_dialog/arch_background.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

using test::Picture;

Picture paintedArch(int width, int height, int addRed, int addGreen, int addBlue) {
    // One row below the area, where the last line falls.
    return Picture::painted(width, height + 1,
                            [&](HDC dc) { paintArch(dc, width, height, addRed, addGreen, addBlue); });
}

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
    const Picture window = paintedArch(479, 252, 0, 0, 30);
    EXPECT_EQ(window.at(0, 0), RGB(0, 0, 30));
    EXPECT_EQ(window.at(478, 126), RGB(220, 220, 250));
    EXPECT_EQ(window.at(200, 252), RGB(0, 0, 30));
    const Picture panel = paintedArch(453, 169, 30, 30, 30);
    EXPECT_EQ(panel.at(10, 0), RGB(30, 30, 30));
    EXPECT_EQ(panel.at(10, 84), RGB(250, 250, 250));
}

} // namespace
} // namespace solvane
