// The settings dialog moved to a monitor of other dots per inch: told by
// WM_DPICHANGED, it lays out everything again at the new scale and measures
// as a dialog opened there, and back again as it did.
#include "button/command.h"
#include "dialog_layout.h"
#include "forms/twips.h"
#include "picture.h"
#include "settings_dialog/settings_dialog.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

namespace solvane {
namespace {

using layout::TwipsBox;
using test::Picture;

const std::map<std::string, TwipsBox> buttonBoxes{{"cancel", layout::cancelButton},
                                                  {"set", layout::setButton},
                                                  {"file", layout::fileButton},
                                                  {"works", layout::worksButton}};
constexpr int close = 3; // a channel difference still counted as the same colour

int px(int twips, int dpi) { return TwipsScale(dpi, dpi).pixelsX(twips); }

RECT expectedRect(const TwipsBox& box, int dpi) {
    const int left = px(box.left, dpi);
    const int top = px(box.top, dpi);
    return {left, top, left + px(box.width, dpi), top + px(box.height, dpi)};
}

// A window's rectangle in its parent's client area.
RECT placeInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool sameColour(COLORREF a, COLORREF b) { return test::channelDifference(a, b) <= close; }

// Where a mark differs from the panel's rows (each row one grey).
RECT markExtent(const Picture& picture, int option, int dpi) {
    const int left = px(layout::optionMarks[option].left, dpi);
    const int top = px(layout::optionMarks[option].top, dpi);
    const int box = px(layout::optionMarks[option].width, dpi);
    RECT inked{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = top; y < top + box; ++y) {
        for (int x = left; x < left + box; ++x) {
            if (!sameColour(picture.at(x, y), picture.at(2, y))) {
                inked = {std::min<LONG>(inked.left, x), std::min<LONG>(inked.top, y),
                         std::max<LONG>(inked.right, x + 1), std::max<LONG>(inked.bottom, y + 1)};
            }
        }
    }
    return inked;
}

// The skin's frame on the left and the top of a button's face: how far in
// the face differs from the colour its middle row and column settle on.
std::pair<int, int> skinFrame(Command& button) {
    const Picture face = Picture::of(button.surface(), button.window());
    const int column = face.width() / 7; // clear of the centred caption
    const int middle = face.height() / 2;
    const COLORREF row = face.at(column, middle);
    int left = 0;
    while (left < face.width() && !sameColour(face.at(left, middle), row)) {
        ++left;
    }
    // Down the face the gradient is linear: the frame ends where it holds.
    const int r1 = face.height() / 3;
    const int r2 = 2 * face.height() / 3;
    const COLORREF c1 = face.at(column, r1);
    const COLORREF c2 = face.at(column, r2);
    const auto gradient = [&](int y) {
        const auto mix = [&](int a, int b) {
            return static_cast<int>(std::lround(a + (b - a) * double(y - r1) / (r2 - r1)));
        };
        return RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
                   mix(GetBValue(c1), GetBValue(c2)));
    };
    int top = 0;
    while (top < face.height() && !sameColour(face.at(column, top), gradient(top))) {
        ++top;
    }
    return {left, top};
}

struct Layout {
    RECT panel{};
    std::map<std::string, RECT> buttons;
    RECT repeat{};
    std::vector<std::pair<int, int>> frames;
    LONG fontHeight = 0;
    RECT fileLabel{};
};

Layout measure(SettingsDialog& dialog) {
    Layout measured;
    measured.panel = placeInParent(dialog.panel());
    const std::map<std::string, Command*> buttons{{"cancel", &dialog.cancelButton()},
                                                  {"set", &dialog.setButton()},
                                                  {"file", &dialog.fileButton()},
                                                  {"works", &dialog.worksButton()}};
    for (const auto& [name, button] : buttons) {
        measured.buttons[name] = placeInParent(button->window());
    }
    RECT combo{};
    GetWindowRect(dialog.repeatBox(), &combo); // the closed box, without its list
    MapWindowPoints(nullptr, dialog.panel(), reinterpret_cast<POINT*>(&combo), 2);
    measured.repeat = combo;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog.repeatBox(), WM_GETFONT, 0, 0)), sizeof font, &font);
    measured.fontHeight = font.lfHeight;
    for (const char* name : {"cancel", "set", "works"}) {
        measured.frames.push_back(skinFrame(*buttons.at(name)));
    }
    measured.fileLabel = dialog.fileLabel().bounds();
    return measured;
}

void expectLayoutAt(SettingsDialog& dialog, int dpi) {
    const Layout found = measure(dialog);
    const RECT panel = expectedRect(layout::panel, dpi);
    EXPECT_TRUE(EqualRect(&found.panel, &panel)) << "the panel at " << dpi << " dpi";
    for (const auto& [name, box] : buttonBoxes) {
        const RECT want = expectedRect(box, dpi);
        EXPECT_TRUE(EqualRect(&found.buttons.at(name), &want))
            << name << " at " << dpi << " dpi: " << found.buttons.at(name).left << "," << found.buttons.at(name).top
            << " " << found.buttons.at(name).right - found.buttons.at(name).left << "x"
            << found.buttons.at(name).bottom - found.buttons.at(name).top;
    }
    EXPECT_EQ(found.repeat.left, px(layout::repeatBox.left, dpi));
    EXPECT_EQ(found.repeat.top, px(layout::repeatBox.top, dpi));
    EXPECT_EQ(found.repeat.right - found.repeat.left, px(layout::repeatBox.width, dpi));
    EXPECT_EQ(found.fontHeight, -std::lround(9.75 * dpi / 72)) << "the texts' font at " << dpi << " dpi";

    const Picture picture = Picture::printed(dialog.panel());
    for (int option = 0; option < 3; ++option) {
        const RECT mark = markExtent(picture, option, dpi);
        EXPECT_EQ(mark.left, px(layout::optionMarks[option].left, dpi)) << "option " << option << " at " << dpi;
        EXPECT_EQ(mark.top, px(layout::optionMarks[option].top, dpi)) << "option " << option << " at " << dpi;
        EXPECT_EQ(mark.right - mark.left, px(layout::optionMarkSize, dpi)) << "option " << option << " at " << dpi;
        EXPECT_EQ(mark.bottom - mark.top, px(layout::optionMarkSize, dpi)) << "option " << option << " at " << dpi;
    }
    for (const auto& frame : found.frames) {
        EXPECT_EQ(frame, std::make_pair(px(layout::skinFrame, dpi), px(layout::skinFrame, dpi))) << dpi << " dpi";
    }
}

// Nothing stands outside the client area of its parent.
void expectInsideTheClientArea(SettingsDialog& dialog) {
    RECT client{};
    GetClientRect(dialog.window(), &client);
    const RECT panel = placeInParent(dialog.panel());
    RECT inside{};
    EXPECT_TRUE(IntersectRect(&inside, &panel, &client) && EqualRect(&inside, &panel)) << "the panel";
    for (Command* button : {&dialog.cancelButton(), &dialog.setButton(), &dialog.worksButton()}) {
        const RECT place = placeInParent(button->window());
        EXPECT_TRUE(IntersectRect(&inside, &place, &client) && EqualRect(&inside, &place)) << "a button";
    }
    RECT panelClient{};
    GetClientRect(dialog.panel(), &panelClient);
    const RECT file = placeInParent(dialog.fileButton().window());
    const RECT label = dialog.fileLabel().bounds();
    EXPECT_TRUE(IntersectRect(&inside, &file, &panelClient) && EqualRect(&inside, &file)) << "the file button";
    EXPECT_TRUE(IntersectRect(&inside, &label, &panelClient) && EqualRect(&inside, &label)) << "the file label";
}

// WM_DPICHANGED as the system sends it, with the window scaled by the ratio.
void moveToDpi(SettingsDialog& dialog, int from, int to) {
    RECT outer{};
    GetWindowRect(dialog.window(), &outer);
    const RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, to, from),
                         outer.top + MulDiv(outer.bottom - outer.top, to, from)};
    SendMessageW(dialog.window(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(dialog.window(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << "the suggested rectangle is taken";
}

TEST(SettingsDialogDpiTest, ADialogMovedToAnotherMonitorLaysItselfOutThere) {
    SettingsDialog dialog(MusicSettings{2, 3, L""}, L"");
    ASSERT_TRUE(dialog.open());
    dialog.show();
    const int opened = windowScale(dialog.window()).dpiY();
    ASSERT_EQ(opened, TwipsScale::usualDpi) << "the tests' screen is at 96 dpi";
    expectLayoutAt(dialog, opened);

    moveToDpi(dialog, opened, 144);
    expectLayoutAt(dialog, 144);
    expectInsideTheClientArea(dialog);

    moveToDpi(dialog, 144, opened);
    expectLayoutAt(dialog, opened);
    expectInsideTheClientArea(dialog);
}

} // namespace
} // namespace solvane
