// The face painted on the surface, read back pixel by pixel.
#include "button/button_resources.h"
#include "button_host.h"
#include "forced_high_contrast.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

namespace solvane {
namespace {

using test::hex;
using test::Picture;

struct Painted {
    test::HostWindow host{test::dialogPlace};
    Command command;
    Painted(int width, int height) {
        EXPECT_TRUE(command.create(host.window(), 150, 150, width, height));
        command.Enabled();
        command.Initialize();
    }
    COLORREF at(int x, int y) const { return test::face(command).at(x, y); }
};

TEST(PaintTest, GradientRunsFromTheStatesTopColourToTheOther) {
    Painted p(1095, 375); // 73 x 25 pixels
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF lavender = RGB(198, 197, 215);
    const auto expectGradient = [&](COLORREF top, COLORREF bottom, const char* look) {
        p.command.PaintGradient(); // the gradient alone, without the frame over it
        EXPECT_EQ(p.at(36, 0), top) << look;
        EXPECT_EQ(p.at(0, 0), p.at(71, 0)) << look << ": the same across each row";
        EXPECT_LE(test::channelDifference(p.at(36, 23), bottom), 3) << look;
        EXPECT_EQ(p.at(10, 23), p.at(60, 23)) << look;
    };
    p.command.PaintFace(Skin::Normal);
    expectGradient(white, lavender, "state 1");
    p.command.move(); // 1 -> 2
    expectGradient(lavender, white, "state 2");
    p.command.focusGained(); // 2 -> 4 keeps the lavender top
    EXPECT_EQ(p.command.state(), StateHighLightSelect);
    expectGradient(lavender, white, "state 4 from 2");
    p.command.focusLost();
    p.command.focusGained(); // 1 -> 3
    expectGradient(white, lavender, "state 3");
    p.command.move(); // 3 -> 4 keeps the white top
    expectGradient(white, lavender, "state 4 from 3");
}

TEST(PaintTest, EachSkinsRingsLandOnTheFrame) {
    Painted p(1095, 375);
    struct Look {
        Skin skin;
        unsigned top[4], left[4];
    } const looks[] = {
        {Skin::Normal, {0xE0DCC9, 0x003C74, 0xF3F3EE, 0xF3F3EE}, {0xE2DECB, 0x003C74, 0xFDFDFC, 0xFDFDFC}},
        {Skin::HighLight, {0xE0DCC9, 0x003C74, 0xFFF0CF, 0xFDD889}, {0xE2DECB, 0x003C74, 0xFEDF9A, 0xFCD279}},
        {Skin::Selected, {0xE0DCC9, 0x003C74, 0xCEE7FF, 0xCEE7FF}, {0xE2DECB, 0x003C74, 0xB7D0F4, 0xB8D1F4}},
        {Skin::HighLightSelect, {0xE0DCC9, 0x003C74, 0xFFF0CF, 0xFDD889}, {0xE2DECB, 0x003C74, 0xFEDF9A, 0xFCD279}},
        {Skin::Pressed, {0xECE9D8, 0xE0DCC9, 0x003C74, 0xD1CCC1}, {0xECE9D8, 0xE2DECB, 0x003C74, 0xA0ABB1}},
        {Skin::Disable, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}},
    };
    for (const Look& look : looks) {
        p.command.PaintFace(look.skin);
        for (int ring = 0; ring < 4; ++ring) {
            EXPECT_EQ(p.at(10, ring), hex(look.top[ring])) << test::name(look.skin) << " top " << ring;
            EXPECT_EQ(p.at(ring, 4), hex(look.left[ring])) << test::name(look.skin) << " left " << ring;
        }
        // The face between the frame is the gradient, not the skin's middle.
        const COLORREF middle = p.at(36, 12);
        EXPECT_GT(GetBValue(middle), GetRValue(middle)) << test::name(look.skin);
        EXPECT_GT(GetRValue(middle), 210) << test::name(look.skin);
    }
    // The 56-pixel middle run is stretched to 65: its light part moves along.
    p.command.PaintFace(Skin::Normal);
    EXPECT_EQ(p.at(50, 0), hex(0xDCD6C2));
    EXPECT_EQ(p.at(50, 24), hex(0xFAFAF6));
    EXPECT_EQ(p.at(0, 0), hex(0xE9E7D5));
    EXPECT_EQ(p.at(3, 3), hex(0xFEFEFE));
}

TEST(PaintTest, A120TwipButtonShowsOnlyTheCornersOnEachAxis) {
    Painted p(120, 120); // 8 x 8 pixels
    p.command.PaintFace(Skin::Normal);
    const Picture face = test::face(p.command);
    const Picture skin = Picture::ofBitmap(test::loadSkin(SOLVANE_SKIN_NORMAL).get());
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int sx = x < 4 ? x : 60 + x - 4;
            const int sy = y < 4 ? y : 21 + y - 4;
            EXPECT_EQ(face.at(x, y), skin.at(sx, sy)) << x << "," << y;
        }
    }
}

TEST(PaintTest, CaptionSitsTenTwipsAboveTheMiddleAndIsCentred) {
    Painted wide(1095, 375);
    EXPECT_EQ(wide.command.label().box.top, 80);
    EXPECT_EQ(wide.command.label().box.left, 0);
    EXPECT_EQ(wide.command.label().box.width, 1095);
    Painted small(435, 315);
    EXPECT_EQ(small.command.label().box.top, 50);
    small.command.Caption(L"...");
    test::pumpFor(50);
    const Picture shot = Picture::printed(small.command.window());
    int left = shot.width(), right = -1, top = shot.height();
    for (int y = 4; y < shot.height() - 4; ++y) {
        for (int x = 4; x < shot.width() - 4; ++x) {
            if (GetRValue(shot.at(x, y)) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "the caption is drawn over the face";
    EXPECT_LE(std::abs((left + right) - (shot.width() - 1)), 3) << left << ".." << right;
    EXPECT_GE(top, 3) << "the text starts at the label's top";
}

TEST(PaintTest, TransparentButtonKeepsOnlyItsCaption) {
    Painted p(1095, 375);
    p.command.Caption(L"設定");
    p.command.Visible(0);
    const OwnedGdi<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    const HRGN region = shape.get();
    ASSERT_EQ(GetWindowRgn(p.command.window(), region), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(region, 1, 1)) << "the frame is not shown";
    EXPECT_FALSE(PtInRegion(region, 36, 20)) << "nor the gradient";
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_GE(box.top, 5);
    EXPECT_LE(box.bottom, 5 + 13 + 1);
    p.command.Visible(1);
    EXPECT_EQ(GetWindowRgn(p.command.window(), region), ERROR) << "whole again";
}

TEST(PaintTest, FaceTooWideForSixteenBitGeometryGetsNoFrame) {
    Painted p(33000, 375); // 2200 pixels
    p.command.PaintFace(Skin::Selected);
    EXPECT_EQ(p.at(0, 0), RGB(255, 255, 255)) << "gradient, no corner";
    EXPECT_EQ(p.command.label().box.top, 90) << "not placed";
}

TEST(PaintTest, DisabledLookGreysTheCaption) {
    Painted p(1095, 375);
    p.command.Enabled(0);
    EXPECT_EQ(test::faceLook(p.command), "Disable");
    EXPECT_FALSE(p.command.label().enabled);
    p.command.Enabled(-1);
    EXPECT_EQ(test::faceLook(p.command), "Normal");
    EXPECT_TRUE(p.command.label().enabled);
}

// The colours a face shows anywhere on its surface.
std::set<COLORREF> faceColours(const Painted& p) {
    const Picture face = test::face(p.command);
    std::set<COLORREF> colours;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 73; ++x) {
            colours.insert(face.at(x, y));
        }
    }
    return colours;
}

TEST(PaintTest, HighContrastFacesAreFramesInTheSystemsColours) {
    Painted p(1095, 375); // 73 x 25 pixels
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    {
        const test::ForcedHighContrast on(true);
        p.command.PaintFace(Skin::Normal);
        EXPECT_EQ(faceColours(p), (std::set<COLORREF>{face, text})) << "no gradient, no skin";
        EXPECT_EQ(p.at(0, 0), text);
        EXPECT_EQ(p.at(72, 24), text);
        EXPECT_EQ(p.at(1, 1), face) << "a one-pixel frame";
        EXPECT_EQ(p.command.label().contrastColour, text);

        p.command.PaintFace(Skin::HighLight);
        EXPECT_EQ(p.at(1, 1), text) << "hovered: two pixels";
        EXPECT_EQ(p.at(2, 2), face);

        p.command.PaintFace(Skin::Pressed);
        EXPECT_EQ(p.at(0, 0), face) << "pressed: the colours swapped";
        EXPECT_EQ(p.at(36, 5), text);
        EXPECT_EQ(p.command.label().contrastColour, face);

        p.command.Enabled(0);
        EXPECT_EQ(faceColours(p), (std::set<COLORREF>{face, GetSysColor(COLOR_GRAYTEXT)}));
        EXPECT_EQ(p.command.label().contrastColour, GetSysColor(COLOR_GRAYTEXT)) << "greyed, not engraved";
        p.command.Enabled(-1);

        SetFocus(p.command.window()); // paints Selected
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        EXPECT_EQ(faceColours(p), (std::set<COLORREF>{highlight, highlightText}));
        EXPECT_EQ(p.at(36, 12), highlight);
        EXPECT_EQ(p.at(3, 3), highlightText) << "the focus rectangle's dots";
        EXPECT_EQ(p.at(4, 3), highlight);
        EXPECT_EQ(p.at(5, 3), highlightText);
        EXPECT_EQ(p.at(4, 4), highlight) << "inside it";
        EXPECT_EQ(p.command.label().contrastColour, highlightText);
    }
    // Off again: the skin, the gradient and the caption's own colour.
    p.command.systemLookChanged();
    EXPECT_EQ(test::faceLook(p.command), "Selected");
    EXPECT_FALSE(p.command.label().contrastColour.has_value());
}

// One button in each look side by side, read back from the screen; saved
// as a picture where SOLVANE_BUTTON_SHOTS points.
TEST(PaintTest, AllLooksSideBySideOnTheScreen) {
    constexpr wchar_t const* captions[] = {L"Normal", L"HighLight", L"Selected", L"HLSelect", L"Pressed", L"Disable"};
    test::HostWindow host(RECT{100, 100, 100 + 6 * 80, 100 + 40});
    std::unique_ptr<Command> buttons[6];
    for (int i = 0; i < 6; ++i) {
        buttons[i] = std::make_unique<Command>();
        ASSERT_TRUE(buttons[i]->create(host.window(), 75 + i * 1200, 150, 1095, 375));
        buttons[i]->Enabled();
        buttons[i]->Caption(captions[i]);
        buttons[i]->PaintFace(static_cast<Skin>(i));
        UpdateWindow(buttons[i]->window());
    }
    // Wine hands painted windows to the X server a moment later.
    const auto shown = [&](int i) {
        const int x = 100 + 5 + i * 80 + 20;
        const int y = 100 + 10 + 2;
        return Picture::ofScreen({x, y, x + 1, y + 1}).at(0, 0) == test::face(*buttons[i]).at(20, 2);
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(test::waitFor([&] { return shown(i); })) << test::name(static_cast<Skin>(i));
    }
    if (const char* folder = std::getenv("SOLVANE_BUTTON_SHOTS")) {
        EXPECT_TRUE(Picture::onScreen(host.window()).save(std::string(folder) + "\\button_looks.bmp"));
    }
}

} // namespace
} // namespace solvane
