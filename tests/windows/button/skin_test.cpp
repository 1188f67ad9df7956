// The committed skins, as the program loads them, against their colour tables.
#include "button/button_resources.h"
#include "button_host.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace solvane {
namespace {

using test::hex;

using test::Picture;

// A skin's pixels as the program loads them.
Picture skinPicture(int id) { return Picture::ofBitmap(test::loadSkin(id).get()); }

struct Rings {
    int id;
    std::array<unsigned, 4> top, bottom;
    // Left and right at the ends of the side edge (rows 4 and 20).
    std::array<unsigned, 4> leftTop, leftBottom, rightTop, rightBottom;
    int lightRing; // -1: none
};

const Rings tables[] = {
    {SOLVANE_SKIN_NORMAL,
     {0xE0DCC9, 0x003C74, 0xF3F3EE, 0xF3F3EE},
     {0xF8F7F0, 0x003C74, 0xD6D0C5, 0xE2DFD6},
     {0xE2DECB, 0x003C74, 0xFDFDFC, 0xFDFDFC},
     {0xE2DECB, 0x003C74, 0xECEBE6, 0xEBEBE5},
     {0xF0EEE0, 0x003C74, 0xF6F4F2, 0xFBFBFA},
     {0xF0EEE0, 0x003C74, 0xE0DDD4, 0xE4E2DA},
     0},
    {SOLVANE_SKIN_HIGHLIGHT,
     {0xE0DCC9, 0x003C74, 0xFFF0CF, 0xFDD889},
     {0xF8F7F0, 0x003C74, 0xE59700, 0xF8B330},
     {0xE2DECB, 0x003C74, 0xFEDF9A, 0xFCD279},
     {0xE2DECB, 0x003C74, 0xF9B435, 0xF8B535},
     {0xF0EEE0, 0x003C74, 0xFDE09B, 0xFCD279},
     {0xF0EEE0, 0x003C74, 0xF8B435, 0xF8B535},
     0},
    {SOLVANE_SKIN_SELECTED,
     {0xE0DCC9, 0x003C74, 0xCEE7FF, 0xCEE7FF},
     {0xF8F7F0, 0x003C74, 0x6982EE, 0x6982EE},
     {0xE2DECB, 0x003C74, 0xB7D0F4, 0xB8D1F4},
     {0xE2DECB, 0x003C74, 0x8BADE4, 0x8BADE4},
     {0xF0EEE0, 0x003C74, 0xB1CCF2, 0xB1CCF2},
     {0xF0EEE0, 0x003C74, 0x8BAFE5, 0x8BAFE5},
     0},
    {SOLVANE_SKIN_PRESSED,
     {0xECE9D8, 0xE0DCC9, 0x003C74, 0xD1CCC1},
     {0xECE9D8, 0xF8F7F0, 0x003C74, 0xF2F1EE},
     {0xECE9D8, 0xE2DECB, 0x003C74, 0xA0ABB1},
     {0xECE9D8, 0xE2DECB, 0x003C74, 0xBCC5C7},
     {0xECE9D8, 0xF0EEE0, 0x003C74, 0xA9B5BD},
     {0xECE9D8, 0xF0EEE0, 0x003C74, 0xC4CED2},
     1},
    {SOLVANE_SKIN_DISABLE,
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     -1},
};

TEST(SkinTest, EverySkinIs64By25AtTwentyFourBits) {
    for (int id = SOLVANE_SKIN_NORMAL; id <= SOLVANE_SKIN_DISABLE; ++id) {
        const OwnedBitmap skin = test::loadSkin(id);
        ASSERT_NE(skin, nullptr) << id;
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(skin.get(), sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidth, 64) << id;
        EXPECT_EQ(section.dsBm.bmHeight, 25) << id;
        EXPECT_EQ(section.dsBm.bmBitsPixel, 24) << id;
    }
}

TEST(SkinTest, RingsAndRampEndsFollowTheTables) {
    for (const Rings& t : tables) {
        const Picture skin = skinPicture(t.id);
        for (int ring = 0; ring < 4; ++ring) {
            for (const int x : {4, 20, 59}) {
                EXPECT_EQ(skin.at(x, ring), hex(t.top[ring])) << t.id << " top ring " << ring << " x " << x;
                EXPECT_EQ(skin.at(x, 24 - ring), hex(t.bottom[ring])) << t.id << " bottom ring " << ring;
            }
            EXPECT_EQ(skin.at(ring, 4), hex(t.leftTop[ring])) << t.id << " left ring " << ring;
            EXPECT_EQ(skin.at(ring, 20), hex(t.leftBottom[ring])) << t.id << " left ring " << ring;
            EXPECT_EQ(skin.at(63 - ring, 4), hex(t.rightTop[ring])) << t.id << " right ring " << ring;
            EXPECT_EQ(skin.at(63 - ring, 20), hex(t.rightBottom[ring])) << t.id << " right ring " << ring;
        }
    }
}

TEST(SkinTest, PressedSidesPassThroughTheirMiddleColour) {
    const Picture pressed = skinPicture(SOLVANE_SKIN_PRESSED);
    EXPECT_EQ(pressed.at(3, 12), hex(0xD7D4CB));
    EXPECT_EQ(pressed.at(60, 12), hex(0xE4E3DC));
    const Picture normal = skinPicture(SOLVANE_SKIN_NORMAL);
    // Halfway down a two-colour ramp lies between its ends.
    const COLORREF middle = normal.at(2, 12);
    EXPECT_LT(GetRValue(middle), 0xFD);
    EXPECT_GT(GetRValue(middle), 0xEC);
}

TEST(SkinTest, LightRunLiesOnTheOuterOutlineFromPixel32To56) {
    for (const Rings& t : tables) {
        const Picture skin = skinPicture(t.id);
        if (t.lightRing < 0) {
            for (int x = 4; x < 60; ++x) {
                EXPECT_EQ(skin.at(x, 0), hex(t.top[0])) << t.id << " x " << x;
            }
            continue;
        }
        for (int x = 4; x < 60; ++x) {
            const bool inRun = x >= 32 && x <= 56;
            EXPECT_EQ(skin.at(x, t.lightRing), hex(inRun ? 0xDCD6C2 : t.top[t.lightRing])) << t.id << " x " << x;
            EXPECT_EQ(skin.at(x, 24 - t.lightRing), hex(inRun ? 0xFAFAF6 : t.bottom[t.lightRing]))
                << t.id << " x " << x;
        }
    }
}

TEST(SkinTest, NormalTopLeftCornerIsTheGivenOneAndCurvesAtEveryCorner) {
    const unsigned corner[4][4] = {{0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
                                   {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
                                   {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
                                   {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE}};
    const Picture normal = skinPicture(SOLVANE_SKIN_NORMAL);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(normal.at(x, y), hex(corner[y][x])) << x << "," << y;
        }
    }
    // The outline bends away from the very corner in each mirrored corner of
    // the outlined skins: the diagonal pixel next to it is not the outline.
    for (const int id : {SOLVANE_SKIN_NORMAL, SOLVANE_SKIN_HIGHLIGHT, SOLVANE_SKIN_SELECTED}) {
        const Picture skin = skinPicture(id);
        for (const auto& [x, y] : {std::pair{1, 1}, {62, 1}, {1, 23}, {62, 23}}) {
            EXPECT_GT(GetRValue(skin.at(x, y)), 0xC0) << id << " at " << x << "," << y;
        }
        for (const auto& [x, y] : {std::pair{3, 1}, {60, 1}, {3, 23}, {60, 23}}) {
            EXPECT_LT(GetRValue(skin.at(x, y)), 0x60) << id << " outline at " << x << "," << y;
        }
    }
}

TEST(SkinTest, HighLightSelectHoldsTheSamePixelsAsHighLight) {
    const Picture highLight = skinPicture(SOLVANE_SKIN_HIGHLIGHT);
    const Picture highLightSelect = skinPicture(SOLVANE_SKIN_HIGHLIGHT_SELECT);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(highLight.at(x, y), highLightSelect.at(x, y)) << x << "," << y;
        }
    }
}

} // namespace
} // namespace solvane
