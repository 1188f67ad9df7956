// The hover, press and focus state machine fed real window messages.
#include "button_host.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

// Windows that appear under the cursor get a move carrying the old position,
// which would put Wine's cursor back over the button; so it leaves first.
struct CursorAway {
    CursorAway() { EXPECT_TRUE(test::placeCursor(50, 50)); }
};

struct Clicked {
    CursorAway away;
    test::HostWindow host{test::dialogPlace};
    HWND other = nullptr; // a second focusable window of the dialog
    Command command;
    int clicks = 0;
    Clicked() {
        EXPECT_TRUE(command.create(host.window(), 150, 150, 1095, 375));
        other = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 300, 200, 40, 20, host.window(), nullptr,
                                nullptr, nullptr);
        command.Click = [this] { ++clicks; };
        command.Enabled();
        command.Initialize();
        SetFocus(other);
    }
    ~Clicked() { DestroyWindow(other); }
    LRESULT send(UINT message, WPARAM keys = 0) {
        return SendMessageW(command.window(), message, keys, MAKELPARAM(5, 5));
    }
    void enter() { send(WM_MOUSEMOVE); }
    // The cursor rests away from the button; a stray move Wine delivers for
    // the earlier cursor warp is let through first.
    void leave() {
        test::pumpMessages();
        command.hoverCheck();
    }
    std::string look() const { return test::faceLook(command); }
};

TEST(InputTest, MovesHighlightOnlyFromNormalAndSelected) {
    Clicked c;
    c.enter();
    EXPECT_EQ(c.command.state(), StateHighLight);
    EXPECT_EQ(c.look(), "HighLight");
    const unsigned paints = c.command.paintCount();
    c.enter();
    EXPECT_EQ(c.command.paintCount(), paints) << "2 stays without painting";
    c.leave();
    EXPECT_EQ(c.command.state(), StateNormal);
    EXPECT_EQ(c.look(), "Normal");
    c.send(WM_SETFOCUS);
    EXPECT_EQ(c.command.state(), StateSelected);
    c.enter();
    EXPECT_EQ(c.command.state(), StateHighLightSelect);
    EXPECT_EQ(c.look(), "HighLightSelect");
    c.leave();
    EXPECT_EQ(c.command.state(), StateSelected);
    EXPECT_EQ(c.look(), "Selected");
}

TEST(InputTest, ClickingAButtonWithoutFocus) {
    Clicked c;
    c.enter();
    c.send(WM_LBUTTONDOWN, MK_LBUTTON); // takes the focus, then presses
    EXPECT_EQ(GetFocus(), c.command.window());
    EXPECT_EQ(c.command.state(), StateHighLightSelect);
    EXPECT_TRUE(c.command.ButtonHeld());
    EXPECT_EQ(c.look(), "Pressed");
    EXPECT_EQ(GetCapture(), c.command.window());
    EXPECT_TRUE(c.command.GradientReversed()) << "kept from state 2";
    c.send(WM_LBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(c.look(), "HighLightSelect");
    EXPECT_EQ(c.clicks, 1);
    c.leave();
    EXPECT_EQ(c.command.state(), StateSelected);
}

TEST(InputTest, ClickingAFocusedButtonAndCancellingByDraggingOff) {
    Clicked c;
    SetFocus(c.command.window());
    c.enter();
    c.send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_FALSE(c.command.GradientReversed()) << "kept from state 3";
    c.send(WM_LBUTTONUP);
    EXPECT_EQ(c.clicks, 1);
    EXPECT_EQ(c.look(), "HighLightSelect");
    c.send(WM_LBUTTONDOWN, MK_LBUTTON);
    c.leave();
    EXPECT_EQ(c.command.state(), StateSelected);
    c.enter(); // back over it while held
    EXPECT_EQ(c.command.state(), StateSelected);
    c.send(WM_LBUTTONUP);
    EXPECT_EQ(c.clicks, 1) << "no Click in state 3";
    EXPECT_FALSE(c.command.ButtonHeld());
}

TEST(InputTest, ReleaseInStateTwoPaintsNormalAndKeepsTheState) {
    Clicked c;
    c.enter();
    c.command.press(LeftButton); // a press that does not take the focus
    c.leave();                   // dragged off: 2 -> 1, not cancelled
    c.enter();
    c.command.release(LeftButton);
    EXPECT_EQ(c.command.state(), StateHighLight);
    EXPECT_EQ(c.look(), "Normal");
    EXPECT_EQ(c.clicks, 1);
    c.enter();
    EXPECT_EQ(c.look(), "Normal") << "the hover look waits for a leave";
}

TEST(InputTest, RightAndMiddleClicksRaiseClickWithoutPainting) {
    Clicked c;
    c.enter();
    const unsigned paints = c.command.paintCount();
    c.send(WM_RBUTTONDOWN, MK_RBUTTON);
    c.send(WM_RBUTTONUP);
    c.send(WM_MBUTTONDOWN, MK_MBUTTON);
    c.send(WM_MBUTTONUP);
    EXPECT_EQ(c.clicks, 2);
    EXPECT_EQ(c.command.paintCount(), paints);
    SetFocus(c.command.window());
    c.leave();
    c.send(WM_RBUTTONUP);
    EXPECT_EQ(c.clicks, 2) << "state 3 swallows it";
}

TEST(InputTest, FocusTransitions) {
    Clicked c;
    c.enter();
    SetFocus(c.command.window()); // by keyboard while hovered
    EXPECT_EQ(c.command.state(), StateHighLightSelect);
    EXPECT_EQ(c.look(), "Pressed");
    SetFocus(c.other);
    EXPECT_EQ(c.command.state(), StateNormal);
    EXPECT_EQ(c.look(), "Normal");
    const unsigned paints = c.command.paintCount();
    c.send(WM_KILLFOCUS);
    EXPECT_EQ(c.command.paintCount(), paints) << "1 loses focus quietly";
    c.enter();
    EXPECT_EQ(c.look(), "HighLight");
}

TEST(InputTest, BeforeInitializeHoverIsIgnoredButFocusAndReleaseWork) {
    test::HostWindow host{test::dialogPlace};
    Command command;
    int clicks = 0;
    ASSERT_TRUE(command.create(host.window(), 150, 150, 1095, 375));
    command.Click = [&] { ++clicks; };
    command.Enabled();
    EXPECT_FALSE(command.timerRunning());
    SendMessageW(command.window(), WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(command.state(), 0);
    SendMessageW(command.window(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(clicks, 1);
    SetFocus(command.window());
    EXPECT_EQ(command.state(), StateSelected);
    EXPECT_EQ(test::faceLook(command), "Selected");
    command.Initialize();
    EXPECT_TRUE(command.timerRunning());
}

TEST(InputTest, DisabledButtonIgnoresEverythingAndReEnablingPaintsNormal) {
    Clicked c;
    SetFocus(c.command.window());
    c.command.Enabled(0);
    EXPECT_FALSE(IsWindowEnabled(c.command.window()));
    const unsigned paints = c.command.paintCount();
    c.enter();
    c.send(WM_LBUTTONDOWN, MK_LBUTTON);
    c.send(WM_LBUTTONUP);
    SetFocus(c.other);
    c.leave();
    EXPECT_EQ(c.command.state(), StateSelected);
    EXPECT_EQ(c.clicks, 0);
    EXPECT_EQ(c.command.paintCount(), paints);
    EXPECT_FALSE(c.command.ButtonHeld());
    c.command.Enabled(-1);
    EXPECT_EQ(c.look(), "Normal");
    EXPECT_EQ(c.command.state(), StateSelected);
}

TEST(InputTest, TimerNoticesTheCursorLeaving) {
    Clicked c;
    c.enter();
    ASSERT_EQ(c.command.state(), StateHighLight);
    EXPECT_TRUE(test::waitFor([&] { return c.command.state() == StateNormal; }, 2000)) << "within a few ticks";
    RECT box{};
    GetWindowRect(c.command.window(), &box);
    EXPECT_TRUE(test::placeCursor(box.left + 10, box.top + 10));
    c.enter();
    test::pumpFor(300);
    EXPECT_EQ(c.command.state(), StateHighLight) << "resting over the button";
}

} // namespace
} // namespace solvane
