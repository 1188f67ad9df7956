// The windowless label: sized to its text, drawn without a background.
#include "forms/font.h"
#include "forms/label.h"
#include "forms/twips.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

class Canvas {
public:
    Canvas(int width, int height) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(dc, bitmap_);
        HBRUSH paper = CreateSolidBrush(RGB(10, 200, 90));
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, paper);
        DeleteObject(paper);
    }
    ~Canvas() {
        SelectObject(dc, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    int count(const RECT& area, COLORREF colour) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                n += GetPixel(dc, x, y) == colour ? 1 : 0;
            }
        }
        return n;
    }
    HDC dc;

private:
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

TEST(LabelTest, FitsItsTextAndLetsTheBackgroundShowThrough) {
    Canvas canvas(200, 60);
    Label label(10, 10, 5, 5);
    const Font font = dialogFont(TwipsScale::usualDpi);
    label.setFont(font.handle());
    label.setText(L"曲目をﾘﾋﾟｰﾄ");
    label.fitToText(canvas.dc);
    const RECT bounds = label.bounds();
    EXPECT_EQ(bounds.left, 10);
    EXPECT_GT(bounds.right - bounds.left, 40) << "six characters of a 13-pixel font";
    EXPECT_GE(bounds.bottom - bounds.top, 12);
    label.paint(canvas.dc);
    const int area = (bounds.right - bounds.left) * (bounds.bottom - bounds.top);
    const int ink = canvas.count(bounds, RGB(0, 0, 0));
    const int paper = canvas.count(bounds, RGB(10, 200, 90));
    EXPECT_GT(ink, 20) << "the text is drawn in black";
    EXPECT_GT(paper, area / 2) << "around the glyphs the background stays";
    const RECT outside{0, 40, 200, 60};
    EXPECT_EQ(canvas.count(outside, RGB(10, 200, 90)), 200 * 20);
}

TEST(LabelTest, ColourAndHitTest) {
    Canvas canvas(120, 40);
    Label label(0, 0, 120, 40);
    const Font font = dialogFont(TwipsScale::usualDpi);
    label.setFont(font.handle());
    label.setColour(RGB(255, 255, 255));
    label.setAlign(Label::Align::Centre);
    label.setText(L"BGM");
    label.paint(canvas.dc);
    EXPECT_GT(canvas.count({0, 0, 120, 40}, RGB(255, 255, 255)), 10);
    EXPECT_TRUE(label.contains({60, 20}));
    EXPECT_FALSE(label.contains({120, 20}));
}

} // namespace
} // namespace solvane
