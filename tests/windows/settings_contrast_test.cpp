// The settings dialog in high contrast, read back from the screen: only the
// system's colours, readable texts, a focus rectangle on the focused button;
// and turned off again, the very pixels it showed before.
#include "dialog_fixture.h"
#include "dialog_layout.h"
#include "forced_high_contrast.h"
#include "picture.h"
#include "settings_dialog/settings_dialog.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace solvane {
namespace {

using test::ForcedHighContrast;
using test::Picture;

constexpr int systemColourCount = COLOR_MENUBAR + 1;

// A dark high-contrast theme set as the system's colours for as long as it
// lives; the colours before are set again at the end.
class DarkTheme {
public:
    DarkTheme() {
        std::vector<int> indices;
        std::vector<COLORREF> dark;
        for (int index = 0; index < systemColourCount; ++index) {
            indices.push_back(index);
            before_.push_back(GetSysColor(index));
            dark.push_back(colour(index));
        }
        indices_ = indices;
        SetSysColors(systemColourCount, indices.data(), dark.data());
    }
    ~DarkTheme() { SetSysColors(systemColourCount, indices_.data(), before_.data()); }
    DarkTheme(const DarkTheme&) = delete;
    DarkTheme& operator=(const DarkTheme&) = delete;

private:
    static COLORREF colour(int index) {
        switch (index) {
        case COLOR_WINDOWFRAME:
        case COLOR_MENUTEXT:
        case COLOR_WINDOWTEXT:
        case COLOR_CAPTIONTEXT:
        case COLOR_BTNTEXT:
        case COLOR_INACTIVECAPTIONTEXT:
        case COLOR_BTNHIGHLIGHT:
        case COLOR_INFOTEXT:
            return RGB(0xFF, 0xFF, 0xFF);
        case COLOR_ACTIVECAPTION:
        case COLOR_GRADIENTACTIVECAPTION:
        case COLOR_MENUHILIGHT:
            return RGB(0x80, 0x00, 0x80);
        case COLOR_INACTIVECAPTION:
        case COLOR_GRADIENTINACTIVECAPTION:
        case COLOR_INACTIVEBORDER:
            return RGB(0x00, 0x80, 0x00);
        case COLOR_ACTIVEBORDER:
        case COLOR_HOTLIGHT:
            return RGB(0xFF, 0xFF, 0x00);
        case COLOR_HIGHLIGHT:
            return RGB(0x1A, 0xEB, 0xFF);
        case COLOR_GRAYTEXT:
            return RGB(0x3F, 0xF2, 0x3F);
        case COLOR_BTNSHADOW:
        case COLOR_3DDKSHADOW:
            return RGB(0x80, 0x80, 0x80);
        case COLOR_3DLIGHT:
            return RGB(0xC0, 0xC0, 0xC0);
        default:
            return RGB(0x00, 0x00, 0x00);
        }
    }

    std::vector<int> indices_;
    std::vector<COLORREF> before_;
};

// What the screen shows once the dialog has painted and the picture holds
// still: read until two readings agree.
Picture settled(HWND window) {
    UpdateWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::pumpMessages();
    Picture last = Picture::onScreen(window);
    for (int reading = 0; reading < 50; ++reading) {
        test::pumpFor(20);
        Picture next = Picture::onScreen(window);
        if (next == last) {
            return next;
        }
        last = next;
    }
    ADD_FAILURE() << "the dialog's picture never held still";
    return last;
}

double luminance(COLORREF colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) + 0.0722 * linear(GetBValue(colour));
}

double contrast(COLORREF a, COLORREF b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A box holding text, in the dialog's client area: its background is the
// colour most of it shows, its text the system colour most of the rest
// shows (the letters' smoothed edges are blends, not system colours).
struct TextBox {
    std::string what;
    RECT area;
    COLORREF background = 0;
    COLORREF text = 0;
    int inked = 0; // pixels other than the background
};

void measure(const Picture& screen, const std::set<COLORREF>& system, TextBox& box) {
    std::map<COLORREF, int> counts;
    for (int y = box.area.top; y < box.area.bottom; ++y) {
        for (int x = box.area.left; x < box.area.right; ++x) {
            ++counts[screen.at(x, y)];
        }
    }
    box.background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                         return a.second < b.second;
                     })->first;
    box.text = box.background;
    box.inked = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (colour == box.background) {
            continue;
        }
        box.inked += count;
        if (system.count(colour) && count > most) {
            most = count;
            box.text = colour;
        }
    }
}

// Whether `colour` lies between the two, as the smoothed edges of letters
// drawn in one on the other do.
bool blendOf(COLORREF colour, COLORREF from, COLORREF to) {
    const int channels[3][3] = {{GetRValue(colour), GetRValue(from), GetRValue(to)},
                                {GetGValue(colour), GetGValue(from), GetGValue(to)},
                                {GetBValue(colour), GetBValue(from), GetBValue(to)}};
    double low = 0;
    double high = 1;
    for (const auto& [value, start, end] : channels) {
        if (start == end) {
            if (std::abs(value - start) > 2) {
                return false;
            }
            continue;
        }
        const double t = static_cast<double>(value - start) / (end - start);
        const double slack = 2.5 / std::abs(end - start);
        low = std::max(low, t - slack);
        high = std::min(high, t + slack);
    }
    return low <= high;
}

class HighContrastDialogTest : public test::DialogFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DialogFixture::SetUp());
        music.BGM_Kind = 1;
        dialog = openDialog();
        ASSERT_TRUE(IsWindow(dialog->window()));
        SetFocus(dialog->setButton().window());
    }

    // Tells the dialog as the system does when high contrast is switched.
    void switchTold() const { SendMessageW(dialog->window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0); }

    RECT inDialog(HWND child, int inset = 0) const {
        RECT rect = test::placeIn(child, dialog->window());
        InflateRect(&rect, -inset, -inset);
        return rect;
    }

    RECT onPanel(const layout::TwipsBox& box, int grow = 0) const {
        const RECT panel = inDialog(dialog->panel());
        RECT rect = test::pixelRect(box);
        OffsetRect(&rect, panel.left, panel.top);
        InflateRect(&rect, grow, grow);
        return rect;
    }

    // Every text of the dialog, each in a box of its own.
    std::vector<TextBox> texts() const {
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        GetComboBoxInfo(dialog->repeatBox(), &combo);
        return {
            {"設定", inDialog(dialog->setButton().window(), 4)},
            {"ｷｬﾝｾﾙ", inDialog(dialog->cancelButton().window(), 4)},
            {"その他の作品", inDialog(dialog->worksButton().window(), 4)},
            {"... (disabled)", inDialog(dialog->fileButton().window(), 4)},
            {"BGM", onPanel(layout::heading, -2)}, // inside its frame
            {"曲目をﾘﾋﾟｰﾄ", onPanel(layout::repeatLabel)},
            {"無し", onPanel(layout::optionLabels[0])},
            {"音楽CD (chosen)", onPanel(layout::optionLabels[1], 1)},
            {"MP3、WAV", onPanel(layout::optionLabels[2])},
            {"the file", onPanel(layout::fileLabel, -2)},
            {"the track", inDialog(combo.hwndItem)},
        };
    }

    std::unique_ptr<SettingsDialog> dialog;
};

TEST_F(HighContrastDialogTest, OnlyTheSystemsColoursAndReadableTexts) {
    const DarkTheme theme;
    const ForcedHighContrast on(true);
    switchTold();
    const Picture screen = settled(dialog->window());

    std::set<COLORREF> system;
    for (int index = 0; index < systemColourCount; ++index) {
        system.insert(GetSysColor(index));
    }
    std::vector<TextBox> boxes = texts();
    for (TextBox& box : boxes) {
        measure(screen, system, box);
        EXPECT_GE(box.inked, 3) << box.what << ": no text drawn";
        EXPECT_TRUE(system.count(box.background)) << box.what << ": background " << std::hex << box.background;
        EXPECT_GE(contrast(box.text, box.background), 4.5)
            << box.what << ": " << std::hex << box.text << " on " << box.background;
    }
    // Outside the texts every pixel is one of the system's colours; inside,
    // the letters' smoothed edges lie between their colour and the ground.
    // The repeat box's frame and drop button are the platform theme's: on
    // Windows high contrast switches the theme to the system's colours, the
    // stand-in here cannot; its field is the dialog's to colour.
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    GetComboBoxInfo(dialog->repeatBox(), &combo);
    const RECT themed = inDialog(dialog->repeatBox());
    RECT field = combo.rcItem;
    MapWindowPoints(dialog->repeatBox(), dialog->window(), reinterpret_cast<POINT*>(&field), 2);
    int strays = 0;
    std::string firstStrays;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const COLORREF colour = screen.at(x, y);
            const POINT at{x, y};
            if (system.count(colour) || (PtInRect(&themed, at) && !PtInRect(&field, at))) {
                continue;
            }
            const bool edgeOfLetters = std::any_of(boxes.begin(), boxes.end(), [&](const TextBox& box) {
                return PtInRect(&box.area, at) && blendOf(colour, box.background, box.text);
            });
            if (!edgeOfLetters && ++strays <= 5) {
                char line[64];
                std::snprintf(line, sizeof line, " %06lx at %d,%d", colour, x, y);
                firstStrays += line;
            }
        }
    }
    EXPECT_EQ(strays, 0) << "colours not the system's:" << firstStrays;

    // The chosen option stands out in the highlight colours.
    const auto chosen =
        std::find_if(boxes.begin(), boxes.end(), [](const TextBox& box) { return box.what == "音楽CD (chosen)"; });
    ASSERT_NE(chosen, boxes.end());
    EXPECT_EQ(chosen->background, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(chosen->text, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

// The ring 3 pixels inside a button, walked round: how often the colour
// changes from one pixel to the next, and the colours it shows.
struct Ring {
    int changes = 0;
    int length = 0;
    std::set<COLORREF> colours;
};

Ring focusRing(const Picture& screen, const RECT& button) {
    const RECT ring{button.left + 3, button.top + 3, button.right - 3, button.bottom - 3};
    std::vector<COLORREF> walk;
    for (int x = ring.left; x < ring.right - 1; ++x) {
        walk.push_back(screen.at(x, ring.top));
    }
    for (int y = ring.top; y < ring.bottom - 1; ++y) {
        walk.push_back(screen.at(ring.right - 1, y));
    }
    for (int x = ring.right - 1; x > ring.left; --x) {
        walk.push_back(screen.at(x, ring.bottom - 1));
    }
    for (int y = ring.bottom - 1; y > ring.top; --y) {
        walk.push_back(screen.at(ring.left, y));
    }
    Ring result;
    result.length = static_cast<int>(walk.size());
    for (std::size_t i = 0; i < walk.size(); ++i) {
        result.colours.insert(walk[i]);
        result.changes += walk[i] != walk[(i + 1) % walk.size()] ? 1 : 0;
    }
    return result;
}

TEST_F(HighContrastDialogTest, TheFocusedButtonShowsAFocusRectangle) {
    const DarkTheme theme;
    const ForcedHighContrast on(true);
    switchTold();
    const std::set<COLORREF> dotted{GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};

    Picture screen = settled(dialog->window());
    const RECT set = inDialog(dialog->setButton().window());
    const RECT cancel = inDialog(dialog->cancelButton().window());
    // Every other pixel of the ring, in the highlight's text colour on the highlight.
    Ring ring = focusRing(screen, set);
    EXPECT_EQ(ring.changes, ring.length) << "設定 has the focus: a dotted rectangle";
    EXPECT_EQ(ring.colours, dotted);
    EXPECT_EQ(focusRing(screen, cancel).changes, 0) << "ｷｬﾝｾﾙ has none";

    SetFocus(dialog->cancelButton().window());
    screen = settled(dialog->window());
    ring = focusRing(screen, cancel);
    EXPECT_EQ(ring.changes, ring.length) << "the rectangle goes with the focus";
    EXPECT_EQ(ring.colours, dotted);
    EXPECT_EQ(focusRing(screen, set).changes, 0);
}

TEST_F(HighContrastDialogTest, TurnedOffThePixelsAreAsBefore) {
    const Picture before = settled(dialog->window());
    {
        const DarkTheme theme;
        const ForcedHighContrast on(true);
        switchTold();
        EXPECT_FALSE(settled(dialog->window()) == before) << "high contrast changes the look at once";
        // Switched off as the system does it: the setting, then the colours,
        // whose change the system tells every window (WM_SYSCOLORCHANGE).
    }
    const Picture after = settled(dialog->window());
    int differing = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            differing += before.at(x, y) != after.at(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0) << "pixels differ from the ordinary look";
}

} // namespace
} // namespace solvane
