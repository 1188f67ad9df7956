#pragma once

// The settings dialog opened in this process on the settings a test
// chooses, saving into a settings file of a folder of the test's own; and
// where its layout puts things.
#include "dialog_layout.h"
#include "forms/twips.h"
#include "scratch_folder.h"
#include "settings_dialog/settings_dialog.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace solvane::test {

class DialogFixture : public ::testing::Test {
protected:
    // A pointer left where the dialog opens (an earlier test parks it at
    // the screen's centre) would hover its buttons and change their faces.
    void SetUp() override { ASSERT_TRUE(placeCursor(0, 0)); }

    std::unique_ptr<SettingsDialog> openDialog() const {
        auto dialog = std::make_unique<SettingsDialog>(music, ini);
        EXPECT_TRUE(dialog->open());
        dialog->show();
        pumpMessages();
        return dialog;
    }

    std::string iniBytes() const { return fileContent(ini); }

    const ScratchFolder folder{L"settings"};
    std::wstring ini = folder.path() + L"\\Solvane.ini";
    MusicSettings music{2, 12, L"C:\\Music\\tune.mp3"};
};

// A box of the layout in pixels, as the dialog places it at `dpi`.
inline RECT pixelRect(const layout::TwipsBox& box, int dpi = TwipsScale::usualDpi) {
    const TwipsScale scale(dpi, dpi);
    const int left = scale.pixelsX(box.left);
    const int top = scale.pixelsY(box.top);
    return {left, top, left + scale.pixelsX(box.width), top + scale.pixelsY(box.height)};
}

// A window's rectangle in the client area of another.
inline RECT placeIn(HWND window, HWND other) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, other, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A mouse button pressed on the panel 3 pixels inside a box's corner, as the
// panel receives it.
inline void pressOnPanel(const SettingsDialog& dialog, UINT message, const layout::TwipsBox& box) {
    const RECT at = pixelRect(box);
    SendMessageW(dialog.panel(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(at.left + 3, at.top + 3));
}

// A left click as the button's window receives it.
inline void click(const Command& button) {
    HWND window = button.window();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

} // namespace solvane::test
