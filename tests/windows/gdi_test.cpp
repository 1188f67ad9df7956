// The owners of device contexts, selections and bitmaps: whatever they
// selected is put back, and what a surface owned is freed when it goes.
#include "forms/gdi.h"
#include "forms/window_class.h"
#include "picture.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

bool exists(HGDIOBJ object) { return GetObjectType(object) != 0; }

TEST(GdiOwnersTest, SelectionsPutBackWhatTheyReplacedInReverseOrder) {
    const MemoryDc dc(nullptr);
    ASSERT_TRUE(dc);
    const HGDIOBJ originalPen = GetCurrentObject(dc.get(), OBJ_PEN);
    const OwnedGdi<HPEN> red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    {
        const Selection outer(dc.get(), red.get());
        {
            const Selection inner(dc.get(), GetStockObject(WHITE_PEN));
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), GetStockObject(WHITE_PEN));
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), red.get());
        Selection moved = Selection(dc.get(), GetStockObject(BLACK_PEN));
        Selection taken(std::move(moved)); // only the new owner puts the pen back
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), originalPen);
    // Nothing is selected for no object or no context.
    const Selection none(dc.get(), nullptr);
    const Selection nowhere(nullptr, red.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), originalPen);
}

TEST(GdiOwnersTest, ASurfaceReplacedMovedOrEmptiedFreesWhatItOwned) {
    OwnedBitmap first = test::screenBitmap(8, 8);
    const HBITMAP firstHandle = first.get();
    BitmapSurface surface(std::move(first));
    ASSERT_TRUE(surface);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BITMAP), firstHandle);

    OwnedBitmap second = test::screenBitmap(4, 4);
    const HBITMAP secondHandle = second.get();
    surface = BitmapSurface(std::move(second));
    EXPECT_FALSE(exists(firstHandle)) << "the replaced surface frees its bitmap";
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BITMAP), secondHandle);

    BitmapSurface moved(std::move(surface));
    EXPECT_EQ(moved.bitmap(), secondHandle);
    EXPECT_FALSE(surface); // a moved-from surface is empty
    moved = {};
    EXPECT_FALSE(exists(secondHandle));
}

TEST(GdiOwnersTest, ASurfaceWithoutABitmapHasNoContext) {
    const BitmapSurface empty{OwnedBitmap()};
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.dc(), nullptr);
}

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WindowClassTest, TheFirstRegistrationHoldsAndLaterOnesAreToldSo) {
    const WindowClass plain{.name = L"SolvaneGdiTestClass", .procedure = plainProc, .cursor = arrowCursor()};
    EXPECT_EQ(registerWindowClass(plain), Registration::Registered);
    EXPECT_EQ(registerWindowClass(plain), Registration::AlreadyRegistered);
}

} // namespace
} // namespace solvane
