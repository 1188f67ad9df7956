// The preview pane opened in a host window of this process, through the
// same code path as a "P" request; its pixels read back from the screen.
#include "contract.h"
#include "forms/stored_picture.h"
#include "frontend_resources.h"
#include "host_window.h"
#include "picture.h"
#include "preview_pane.h"
#include "startup.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace solvane {
namespace {

constexpr auto paneClass = contract::wide(contract::previewClass);
constexpr auto paneTitle = contract::wide(contract::previewTitle);

constexpr int hostLeft = 300;
constexpr int hostTop = 200;

using test::channelDifference;
using test::HostWindow;
using test::Picture;

// The stored still as the platform decodes it.
Picture storedStill() {
    StoredPicture still(GetModuleHandleW(nullptr), SOLVANE_PREVIEW_STILL);
    const RECT all{0, 0, still.width(), still.height()};
    return Picture::painted(still.width(), still.height(), [&](HDC dc) { still.draw(dc, 0, 0, all); });
}

class PreviewPaneTest : public ::testing::Test {
protected:
    HWND makeHost(int width, int height) {
        host.emplace(RECT{hostLeft, hostTop, hostLeft + width, hostTop + height});
        return host->window();
    }

    HWND pane() const { return FindWindowExW(host->window(), nullptr, paneClass.text, nullptr); }

    // Lets both windows paint and reach the screen, then reads the host's area.
    Picture screenOfHost() {
        for (int round = 0; round < 20; ++round) {
            RedrawWindow(host->window(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
        return Picture::onScreen(host->window());
    }

    // The host's handle as a "P" request gives it.
    std::int32_t hostHandle() const { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(host->window())); }

    std::optional<HostWindow> host;
};

TEST(PaneSizeTest, TwipsAreSixteenBitAndTooLargeStaysZero) {
    const PaneSize usual = paneSizeFor(152, 112, 15.0, 15.0);
    EXPECT_EQ(usual.widthTwips, 2280);
    EXPECT_EQ(usual.heightTwips, 1680);
    EXPECT_EQ(paneSizeFor(2184, 10, 15.0, 15.0).widthTwips, 32760);
    EXPECT_EQ(paneSizeFor(2185, 10, 15.0, 15.0).widthTwips, 0);
    EXPECT_EQ(paneSizeFor(10, 2185, 15.0, 15.0).heightTwips, 0);
    EXPECT_EQ(paneSizeFor(10, 2185, 15.0, 15.0).widthTwips, 150);
    EXPECT_EQ(paneSizeFor(0, 0, 15.0, 15.0).widthTwips, 0);
    EXPECT_EQ(paneSizeFor(100, 100, 7.5, 10.0).widthTwips, 750);
}

TEST_F(PreviewPaneTest, UsualHostShowsTheWholeStill) {
    ASSERT_NE(makeHost(152, 112), nullptr);
    openPreviewPane(hostHandle());
    HWND child = pane();
    ASSERT_NE(child, nullptr) << "the pane must become a child of the host";
    char title[32] = {};
    GetWindowTextA(child, title, sizeof title);
    EXPECT_STREQ(title, contract::previewTitle);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(child));
    RECT rect{};
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, hostLeft);
    EXPECT_EQ(rect.top, hostTop);
    EXPECT_EQ(rect.right - rect.left, 152);
    EXPECT_EQ(rect.bottom - rect.top, 112);

    const Picture still = storedStill();
    ASSERT_EQ(still.width(), 152);
    ASSERT_EQ(still.height(), 112);
    const Picture shown = screenOfHost();
    int worst = 0;
    for (int y = 0; y < 112; ++y) {
        for (int x = 0; x < 152; ++x) {
            worst = std::max(worst, channelDifference(shown.at(x, y), still.at(x, y)));
        }
    }
    EXPECT_LE(worst, 8) << "the host must show the stored still";
}

TEST_F(PreviewPaneTest, LargerHostShowsTheStillInTheCornerOnBlack) {
    ASSERT_NE(makeHost(200, 150), nullptr);
    openPreviewPane(hostHandle());
    HWND child = pane();
    ASSERT_NE(child, nullptr);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);

    const Picture still = storedStill();
    const Picture shown = screenOfHost();
    int worstPicture = 0;
    int worstBlack = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (x < 152 && y < 112) {
                worstPicture = std::max(worstPicture, channelDifference(shown.at(x, y), still.at(x, y)));
            } else {
                worstBlack = std::max(worstBlack, channelDifference(shown.at(x, y), RGB(0, 0, 0)));
            }
        }
    }
    EXPECT_LE(worstPicture, 8);
    EXPECT_EQ(worstBlack, 0) << "around the still the pane is black";
}

TEST_F(PreviewPaneTest, AHostThatIsNoWindowGivesNoPaneToWaitFor) {
    ASSERT_NE(makeHost(152, 112), nullptr);
    const std::int32_t gone = hostHandle();
    host->destroy();
    for (const std::int32_t handle : {std::int32_t{0}, gone}) {
        EXPECT_FALSE(openPreviewPane(handle)) << handle;
        EXPECT_EQ(FindWindowW(paneClass.text, nullptr), nullptr) << handle;
    }
}

// A host whose window goes without taking the pane with it, as one in a
// process that ends may: the pane sees it is gone and ends the loop.
TEST_F(PreviewPaneTest, AHostThatIsNoLongerAWindowEndsTheLoop) {
    ASSERT_NE(makeHost(152, 112), nullptr);
    ASSERT_TRUE(openPreviewPane(hostHandle()));
    HWND child = pane();
    ASSERT_NE(child, nullptr);
    SetParent(child, nullptr);
    host->destroy();
    ASSERT_TRUE(IsWindow(child));
    MSG message{};
    // A quit left by an earlier pane of this process is not this one's.
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    const ULONGLONG deadline = GetTickCount64() + 10000;
    bool quit = false;
    while (!quit && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quit = quit || message.message == WM_QUIT;
            DispatchMessageW(&message);
        }
    }
    EXPECT_TRUE(quit) << "the pane outlived its host";
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(PreviewPaneTest, HostGoingAwayEndsTheLoop) {
    ASSERT_NE(makeHost(152, 112), nullptr);
    openPreviewPane(hostHandle());
    ASSERT_NE(pane(), nullptr);
    host->destroy();
    EXPECT_EQ(FindWindowW(paneClass.text, nullptr), nullptr);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

// Refuses the creation of the pane's window, as a system out of window
// resources would, for as long as it lives.
class PaneCreationRefused {
public:
    PaneCreationRefused() : hook_(SetWindowsHookExW(WH_CBT, refuse, nullptr, GetCurrentThreadId())) {}
    ~PaneCreationRefused() { UnhookWindowsHookEx(hook_); }
    bool active() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            wchar_t name[32] = {};
            GetClassNameW(reinterpret_cast<HWND>(wParam), name, 32);
            if (std::wstring(name) == paneClass.text) {
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
};

TEST_F(PreviewPaneTest, NoPaneWindowEndsTheStartUpInsteadOfWaitingForEver) {
    ASSERT_NE(makeHost(152, 112), nullptr);
    const std::wstring request = L"/p " + std::to_wstring(reinterpret_cast<INT_PTR>(host->window()));
    {
        PaneCreationRefused refused;
        ASSERT_TRUE(refused.active());
        EXPECT_FALSE(runStartup(request)) << "no window would ever end the message loop";
        EXPECT_EQ(FindWindowW(paneClass.text, nullptr), nullptr);
        EXPECT_EQ(pane(), nullptr);
    }
    // Host 0: no pane, nothing to wait for.
    EXPECT_FALSE(runStartup(L"/p 0"));
    EXPECT_EQ(FindWindowW(paneClass.text, paneTitle.text), nullptr);
}

} // namespace
} // namespace solvane
