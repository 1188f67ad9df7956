// The saver window's procedures fed real messages in this process, with the
// real scene behind them. CTest runs each case in a process of its own, so
// that no case sees the cursor or the queue another left.
#include "contract.h"
#include "picture.h"
#include "saver_window_support.h"
#include "test_support.h"
#include "win32/pixel_format.h"
#include "win32/saver_main.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace solvane {
namespace {

constexpr int width = 640;
constexpr int height = 480;

using test::placeCursor;

class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every case starts from the same cursor, whatever the last one left.
        ASSERT_TRUE(placeCursor(width + 200, height / 2));
        window = createWindow();
        ASSERT_NE(window, nullptr);
        GetCursorPos(&origin);
    }

    void TearDown() override { saver.reset(); }

    HWND createWindow() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        EXPECT_TRUE(saverClassRegistered(instance));
        saver = std::make_unique<SaverWindow>(instance);
        return saver->create({0, 0, width, height});
    }

    // Drops the posted quit message a destroyed window leaves behind.
    void dropQuit() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // Takes the close requests the window posted to itself, without handling them.
    int takePostedCloses() {
        int count = 0;
        MSG message{};
        while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
            ++count;
        }
        return count;
    }

    // Handles the posted close requests as the message loop would.
    void dispatchPostedCloses() {
        MSG message{};
        while (IsWindow(window) && PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }

    bool quitPosted() {
        MSG message{};
        return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    }

    void moveCursorBy(int dx, int dy) {
        POINT p{};
        GetCursorPos(&p);
        EXPECT_TRUE(placeCursor(p.x + dx, p.y + dy));
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    }

    std::unique_ptr<SaverWindow> saver;
    HWND window = nullptr;
    POINT origin{};
};

TEST_F(SaverWindowTest, CreationRetitlesAndLowersThePriority) {
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, contract::rendererTitle);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, contract::rendererClass);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_OWNDC | CS_HREDRAW | CS_VREDRAW));
    EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u) << "icon 7002 must be in the resources";
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), 0u);
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), TRUE);
}

TEST_F(SaverWindowTest, FirstMoveNeverClosesHoweverFar) {
    moveCursorBy(400, 300);
    EXPECT_EQ(takePostedCloses(), 1) << "the far first move asks to close, unarmed";
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)) << "an unarmed close request is ignored";

    // The reference stayed where the window was created; the next move is armed.
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    dispatchPostedCloses();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quitPosted());
}

TEST_F(SaverWindowTest, SmallStepsMoveTheReferenceAlong) {
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);                                  // the greeting move
    const POINT steps[] = {{2, 2}, {-1, 3}, {4, 0}, {0, -4}, {3, 1}, {1, -3}}; // |dx| + |dy| <= 4
    for (int round = 0; round < 5; ++round) {
        for (const POINT& step : steps) {
            moveCursorBy(step.x, step.y);
        }
    }
    EXPECT_EQ(takePostedCloses(), 0) << "drift of at most 4 pixels a step must not close";
    EXPECT_TRUE(IsWindow(window));

    moveCursorBy(3, 2); // 5 pixels
    dispatchPostedCloses();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindowTest, CloseRequestsBeforeInputAreIgnored) {
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    dispatchPostedCloses();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_NEXTWINDOW, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_PREVWINDOW, 0), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverWindowTest, ReleasesWheelAndOtherButtonsDoNotClose) {
    SendMessageA(window, WM_KEYUP, 'A', 0xC0000001);
    SendMessageA(window, WM_SYSKEYUP, VK_MENU, 0xC0000001);
    SendMessageA(window, WM_LBUTTONUP, 0, 0);
    SendMessageA(window, WM_RBUTTONUP, 0, 0);
    SendMessageA(window, WM_MBUTTONUP, 0, 0);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    SendMessageA(window, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), 0);
    SendMessageA(window, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2), 0);
    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(takePostedCloses(), 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)) << "none of these may arm the close";
}

TEST_F(SaverWindowTest, KeysButtonsAndDeactivationEachAskToClose) {
    const UINT messages[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT message : messages) {
        SendMessageA(window, message, 0, 0);
        EXPECT_EQ(takePostedCloses(), 1) << "message " << message;
    }
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    dispatchPostedCloses();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quitPosted());
}

TEST_F(SaverWindowTest, DeactivationAloneEndsTheSaver) {
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    dispatchPostedCloses();
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace solvane

namespace solvane {
namespace {

TEST_F(SaverWindowTest, EachWindowStartsWithItsOwnFlags) {
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    dispatchPostedCloses();
    ASSERT_FALSE(IsWindow(window));
    dropQuit();

    // A second window in the same process starts unarmed, with a new reference.
    window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window)) << "the first window's armed close must not carry over";
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(takePostedCloses(), 0) << "the greeting move of the new window";
    EXPECT_TRUE(saver->idleFrame());
    EXPECT_EQ(saver->framesDrawn().frames, 1u);
}

TEST_F(SaverWindowTest, DisplayChangeCoversTheNewLayoutAndDrawsOn) {
    ASSERT_TRUE(saver->idleFrame());
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    RECT placed{};
    GetWindowRect(window, &placed);
    const RECT screen = virtualScreen();
    EXPECT_EQ(placed.left, screen.left);
    EXPECT_EQ(placed.top, screen.top);
    EXPECT_EQ(placed.right, screen.right);
    EXPECT_EQ(placed.bottom, screen.bottom);
    ASSERT_NE(saver->scene(), nullptr);
    ASSERT_TRUE(saver->scene()->ready());
    const SceneSet& scenes = *saver->scene()->scenes();
    ASSERT_GE(scenes.size(), 1u);
    const Viewport& first = scenes.scene(0).state().setup.viewport;
    EXPECT_EQ(first.width, GetSystemMetrics(SM_CXSCREEN)) << "a scene per monitor of the new layout";
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(saver->idleFrame());
    }
    EXPECT_EQ(saver->framesDrawn().frames, 4u);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(takePostedCloses(), 0) << "a new layout is not user input";
}

} // namespace
} // namespace solvane

namespace solvane {
namespace {

// Sets another pixel format on the saver window just before it handles
// WM_CREATE. A window's format can be set once only, so the renderer's own
// choice is refused, as on a machine whose OpenGL cannot serve the window.
int presetFormat = 0;

LRESULT CALLBACK presetPixelFormat(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char className[64] = {};
    if (code == HC_ACTION && call->message == WM_CREATE && GetClassNameA(call->hwnd, className, sizeof className) &&
        std::string_view(className) == contract::rendererClass) {
        const HWND window = call->hwnd;
        HDC dc = GetDC(window);
        PIXELFORMATDESCRIPTOR descriptor{};
        DescribePixelFormat(dc, presetFormat, sizeof descriptor, &descriptor);
        SetPixelFormat(dc, presetFormat, &descriptor);
        ReleaseDC(window, dc);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A format the renderer would not pick: any other qualifying one.
int otherFormat() {
    HDC screen = GetDC(nullptr);
    int best = 0;
    int bestScore = 0;
    int count = 0;
    PIXELFORMATDESCRIPTOR descriptor{};
    for (int number = 1; DescribePixelFormat(screen, number, sizeof descriptor, &descriptor) != 0; ++number) {
        count = number;
        if (const int score = scorePixelFormat(descriptor); score > bestScore) {
            bestScore = score;
            best = number;
        }
    }
    ReleaseDC(nullptr, screen);
    return best == 1 ? count : 1;
}

TEST(SaverWithoutGlTest, CoversInBlackHidesTheCursorAndEndsOnInputWithoutGl) {
    presetFormat = otherFormat();
    ASSERT_GT(presetFormat, 0);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(registerSaverClass(instance));
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, presetPixelFormat, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    SaverWindow saver(instance);
    HWND window = saver.create({0, 0, 640, 480});
    UnhookWindowsHookEx(hook);
    ASSERT_NE(window, nullptr);

    ASSERT_NE(saver.scene(), nullptr);
    EXPECT_FALSE(saver.scene()->ready()) << "the refused pixel format must leave the scene without GL";
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(saver.idleFrame()) << "no frame without a context";
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, contract::rendererTitle);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), TRUE);

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const test::Picture screen = test::Picture::ofScreen({0, 0, 1001, 701});
    ASSERT_NE(screen.at(1000, 700), RGB(0, 0, 0)) << "the desktop beside the window must not be black";
    for (const POINT p : {POINT{20, 20}, POINT{320, 240}, POINT{600, 450}}) {
        EXPECT_EQ(screen.at(p.x, p.y), RGB(0, 0, 0)) << "at " << p.x << "," << p.y;
    }

    // The loop waits for messages instead of spinning, and the usual input
    // rules end it with exit code 0.
    SetTimer(nullptr, 0, 10000, giveUpTheLoop);
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(runMessageLoop(saver), 0) << "99: the key did not end the saver within 10 s";
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace solvane
