// Stored artwork brought to its physical size: the halftone resampling and
// the size on this screen.
#include "forms/artwork_scale.h"
#include "forms/gdi.h"
#include "picture.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace solvane {
namespace {

using test::Picture;

// A picture of `width` x `height` like the screen's: red on the left half, blue on the right.
OwnedBitmap twoHalves(int width, int height) {
    OwnedBitmap bitmap = test::screenBitmap(width, height);
    const MemoryDc dc(nullptr);
    const Selection selected(dc.get(), bitmap.get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc.get(), x, y, x < width / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
        }
    }
    return bitmap;
}

TEST(ArtworkScaleTest, ResamplingGivesTheSizeAskedAndKeepsTheColoursInPlace) {
    const OwnedBitmap source = twoHalves(12, 12);
    for (const SIZE size : {SIZE{18, 18}, SIZE{15, 15}, SIZE{12, 12}, SIZE{6, 9}}) {
        const OwnedBitmap scaled = resampledBitmap(source.get(), 12, 12, size);
        ASSERT_TRUE(scaled) << size.cx << " x " << size.cy;
        const Picture read = Picture::ofBitmap(scaled.get());
        EXPECT_EQ(read.width(), size.cx);
        EXPECT_EQ(read.height(), size.cy);
        // Away from the seam each half keeps its colour; at most the two
        // columns beside it are blended.
        for (int y = 0; y < read.height(); ++y) {
            for (int x = 0; x < read.width() / 2 - 1; ++x) {
                EXPECT_EQ(read.at(x, y), RGB(255, 0, 0)) << x << "," << y << " of " << size.cx;
            }
            for (int x = (read.width() + 1) / 2 + 1; x < read.width(); ++x) {
                EXPECT_EQ(read.at(x, y), RGB(0, 0, 255)) << x << "," << y << " of " << size.cx;
            }
        }
    }
}

TEST(ArtworkScaleTest, SameSizeCopiesEveryPixel) {
    const OwnedBitmap source = twoHalves(64, 25);
    const OwnedBitmap copy = resampledBitmap(source.get(), 64, 25, SIZE{64, 25});
    ASSERT_TRUE(copy);
    EXPECT_EQ(Picture::ofBitmap(copy.get()), Picture::ofBitmap(source.get()));
}

TEST(ArtworkScaleTest, NothingToScaleGivesNoBitmap) {
    const OwnedBitmap source = twoHalves(4, 4);
    EXPECT_FALSE(resampledBitmap(nullptr, 4, 4, SIZE{6, 6}));
    EXPECT_FALSE(resampledBitmap(source.get(), 0, 4, SIZE{6, 6}));
    EXPECT_FALSE(resampledBitmap(source.get(), 4, 4, SIZE{0, 6}));
    EXPECT_FALSE(resampledBitmap(source.get(), 4, 4, SIZE{6, -1}));
}

TEST(ArtworkScaleTest, ArtworkKeepsItsInchesAtEveryScale) {
    const WindowDc screen;
    const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    // 96 pixels of artwork are one inch, whatever the screen or monitor.
    const SIZE inch = artworkSize(96, 96, screenScale());
    EXPECT_EQ(inch.cx, dpiX);
    EXPECT_EQ(inch.cy, dpiY);
    for (const int dpi : {96, 120, 144, 192}) {
        const SIZE mark = artworkSize(12, 12, TwipsScale(dpi, dpi));
        EXPECT_EQ(mark.cx, (12 * dpi + 48) / 96) << dpi;
        EXPECT_EQ(mark.cy, mark.cx) << dpi;
    }
}

} // namespace
} // namespace solvane
