// The windowless label: sized to its text, drawn without a background.
#include "forms/font.h"
#include "forms/gdi.h"
#include "forms/label.h"
#include "forms/twips.h"
#include "picture.h"

#include <gtest/gtest.h>

#include <functional>

namespace solvane {
namespace {

using test::Picture;

constexpr COLORREF paper = RGB(10, 200, 90);

// A bitmap filled with the paper colour, the label drawn on it.
Picture paperWith(int width, int height, const std::function<void(HDC)>& draw) {
    return Picture::painted(width, height, [&](HDC dc) {
        const OwnedGdi<HBRUSH> brush(CreateSolidBrush(paper));
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, brush.get());
        draw(dc);
    });
}

TEST(LabelTest, FitsItsTextAndLetsTheBackgroundShowThrough) {
    Label label(10, 10, 5, 5);
    const Font font = dialogFont(TwipsScale::usualDpi);
    label.setFont(font.handle());
    label.setText(L"曲目をﾘﾋﾟｰﾄ");
    RECT bounds{};
    const Picture canvas = paperWith(200, 60, [&](HDC dc) {
        label.fitToText(dc);
        bounds = label.bounds();
        EXPECT_EQ(bounds.left, 10);
        EXPECT_GT(bounds.right - bounds.left, 40) << "six characters of a 13-pixel font";
        EXPECT_GE(bounds.bottom - bounds.top, 12);
        label.paint(dc);
    });
    const int area = (bounds.right - bounds.left) * (bounds.bottom - bounds.top);
    const int ink = canvas.count(bounds, RGB(0, 0, 0));
    EXPECT_GT(ink, 20) << "the text is drawn in black";
    EXPECT_GT(canvas.count(bounds, paper), area / 2) << "around the glyphs the background stays";
    const RECT outside{0, 40, 200, 60};
    EXPECT_EQ(canvas.count(outside, paper), 200 * 20);
}

TEST(LabelTest, ColourAndHitTest) {
    Label label(0, 0, 120, 40);
    const Font font = dialogFont(TwipsScale::usualDpi);
    label.setFont(font.handle());
    label.setColour(RGB(255, 255, 255));
    label.setAlign(Label::Align::Centre);
    label.setText(L"BGM");
    const Picture canvas = paperWith(120, 40, [&](HDC dc) { label.paint(dc); });
    EXPECT_GT(canvas.count({0, 0, 120, 40}, RGB(255, 255, 255)), 10);
    EXPECT_TRUE(label.contains({60, 20}));
    EXPECT_FALSE(label.contains({120, 20}));
}

} // namespace
} // namespace solvane
