// The object behind a front-end window outlives it: a window that goes
// first leaves the object naming none, and an object that goes first takes
// its window along.
#include "forms/form.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace solvane {
namespace {

class CountedForm : public Form {
public:
    int destroyed = 0;

protected:
    void onDestroy() override { ++destroyed; }
};

TEST(WindowObjectTest, WhicheverGoesFirstTheOtherIsLeftSound) {
    CountedForm form;
    ASSERT_TRUE(form.create(L"SolvaneCountedForm", L"counted", WS_POPUP, 0, RGB(0, 0, 0)));
    HWND first = form.window();
    DestroyWindow(first);
    EXPECT_EQ(form.destroyed, 1);
    EXPECT_EQ(form.window(), nullptr) << "no handle that another window may get next";

    HWND second = nullptr;
    {
        CountedForm going;
        ASSERT_TRUE(going.create(L"SolvaneCountedForm", L"counted", WS_POPUP, 0, RGB(0, 0, 0)));
        second = going.window();
        ASSERT_TRUE(IsWindow(second));
    }
    EXPECT_FALSE(IsWindow(second));
}

} // namespace
} // namespace solvane
