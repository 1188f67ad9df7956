// The settings dialog in this process: layout, loading, options and saving
// through real windows, real messages and a real settings file.
#include "contract.h"
#include "dialog_fixture.h"
#include "dialog_layout.h"
#include "rules/text_rules.h"
#include "settings/settings_file.h"
#include "settings_dialog/settings_dialog.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace solvane {
namespace {

std::wstring windowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

using test::click;
using test::pixelRect;
using test::placeIn;
using test::pressOnPanel;
using SettingsDialogTest = test::DialogFixture;

// A spot of the panel where nothing stands.
constexpr layout::TwipsBox emptyPanel{3000, 2000, 0, 0};

TEST_F(SettingsDialogTest, WindowAndControlsStandWhereTheyBelong) {
    auto dialog = openDialog();
    HWND window = dialog->window();
    EXPECT_EQ(windowText(window), contract::wide(contract::settingsDialogTitle).text);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT client{};
    GetClientRect(window, &client);
    const RECT dialogClient = pixelRect(layout::dialogClient);
    EXPECT_TRUE(EqualRect(&client, &dialogClient));
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
    EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 3, 1);

    const RECT panel = placeIn(dialog->panel(), window);
    const RECT panelBox = pixelRect(layout::panel);
    EXPECT_TRUE(EqualRect(&panel, &panelBox))
        << panel.left << "," << panel.top << " to " << panel.right << "," << panel.bottom;

    const RECT combo = placeIn(dialog->repeatBox(), dialog->panel());
    const RECT comboBox = pixelRect(layout::repeatBox);
    EXPECT_EQ(combo.left, comboBox.left);
    EXPECT_EQ(combo.top, comboBox.top);
    EXPECT_EQ(combo.right, comboBox.right);

    // The buttons: parent, place and size in pixels (twips / 15), caption.
    struct Expected {
        Command& button;
        HWND parent;
        layout::TwipsBox box;
        const wchar_t* caption;
    };
    const Expected buttons[] = {
        {dialog->cancelButton(), window, layout::cancelButton, L"ｷｬﾝｾﾙ"},
        {dialog->setButton(), window, layout::setButton, L"設定"},
        {dialog->fileButton(), dialog->panel(), layout::fileButton, L"..."},
        {dialog->worksButton(), window, layout::worksButton, L"その他の作品"},
    };
    for (const Expected& expected : buttons) {
        HWND button = expected.button.window();
        EXPECT_EQ(GetParent(button), expected.parent) << expected.button.Caption();
        const RECT rect = placeIn(button, expected.parent);
        const RECT want = pixelRect(expected.box);
        EXPECT_TRUE(EqualRect(&rect, &want)) << expected.button.Caption() << " at " << rect.left << "," << rect.top
                                             << " to " << rect.right << "," << rect.bottom;
        EXPECT_EQ(expected.button.Caption(), expected.caption);
        EXPECT_TRUE(expected.button.timerRunning()) << "every button is initialised at load";
        EXPECT_EQ(expected.button.label().font->description().face, L"ＭＳ Ｐゴシック");
    }
}

TEST_F(SettingsDialogTest, TabKeyWalksRepeatBoxFileButtonThenTheThreeButtons) {
    music.BGM_Kind = 1;
    auto dialog = openDialog();
    HWND window = dialog->window();
    EXPECT_EQ(GetNextDlgTabItem(window, nullptr, FALSE), dialog->repeatBox());
    pressOnPanel(*dialog, WM_LBUTTONDOWN, layout::optionLabels[2]); // the file option: "..." instead of the box
    std::vector<HWND> order;
    HWND item = GetNextDlgTabItem(window, nullptr, FALSE);
    for (int i = 0; i < 5; ++i) {
        order.push_back(item);
        item = GetNextDlgTabItem(window, item, FALSE);
    }
    const std::vector<HWND> expected = {dialog->fileButton().window(), dialog->setButton().window(),
                                        dialog->cancelButton().window(), dialog->worksButton().window(),
                                        dialog->fileButton().window()};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(GetFocus(), dialog->fileButton().window()) << "the first control takes the focus";
    EXPECT_EQ(dialog->fileButton().state(), StateSelected);
}

TEST_F(SettingsDialogTest, LoadingShowsTheSettings) {
    auto dialog = openDialog();
    HWND combo = dialog->repeatBox();
    EXPECT_EQ(windowText(combo), L"12");
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 31);
    wchar_t entry[8] = {};
    SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"");
    SendMessageW(combo, CB_GETLBTEXT, 30, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"30");
    EXPECT_FALSE(IsWindowEnabled(combo)) << "the repeat box belongs to the CD option";
    EXPECT_TRUE(dialog->markIsSelected(2));
    EXPECT_FALSE(dialog->markIsSelected(0));
    EXPECT_FALSE(dialog->markIsSelected(1));
    EXPECT_EQ(dialog->fileLabel().text(), L"C:\\Music\\tune.mp3");
}

TEST_F(SettingsDialogTest, AnyMouseButtonOnAnOptionChoosesIt) {
    auto dialog = openDialog();
    pressOnPanel(*dialog, WM_RBUTTONDOWN, layout::optionLabels[1]); // the label "音楽CD"
    EXPECT_EQ(dialog->settings().BGM_Kind, 1);
    EXPECT_TRUE(dialog->markIsSelected(1));
    EXPECT_FALSE(dialog->markIsSelected(2));
    EXPECT_TRUE(IsWindowEnabled(dialog->repeatBox()));
    EXPECT_FALSE(IsWindowEnabled(dialog->fileButton().window())) << "\"...\" belongs to the file option";
    EXPECT_EQ(dialog->fileLabel().text(), L"C:\\Music\\tune.mp3") << "switching keeps the file shown";

    pressOnPanel(*dialog, WM_LBUTTONDOWN, layout::optionLabels[2]);
    EXPECT_TRUE(IsWindowEnabled(dialog->fileButton().window()));
    EXPECT_FALSE(IsWindowEnabled(dialog->repeatBox()));
    pressOnPanel(*dialog, WM_LBUTTONDOWN, layout::optionMarks[0]); // the mark of "無し"
    EXPECT_EQ(dialog->settings().BGM_Kind, 0);
    EXPECT_FALSE(IsWindowEnabled(dialog->repeatBox()));
    EXPECT_FALSE(IsWindowEnabled(dialog->fileButton().window()));
    pressOnPanel(*dialog, WM_MBUTTONDOWN, emptyPanel);
    EXPECT_EQ(dialog->settings().BGM_Kind, 0);
    EXPECT_EQ(dialog->settings().BGM_Track, 12);
}

TEST_F(SettingsDialogTest, SavingWritesTheThreeKeysInTheSignBlankForm) {
    auto dialog = openDialog();
    HWND window = dialog->window();
    pressOnPanel(*dialog, WM_LBUTTONDOWN, layout::optionLabels[1]);
    SetWindowTextW(dialog->repeatBox(), L"5");
    click(dialog->setButton());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicKind, ini), L"1");
    EXPECT_EQ(ReadSetting(settingsSection, keyRepeatTrack, ini), L"5");
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicFile, ini), L"C:\\Music\\tune.mp3");
    // The profile functions decide the layout (Wine drops the sign blank);
    // the keys must be the code-page-932 bytes, in the dialog's order.
    const std::string bytes = iniBytes();
    const std::size_t kind = bytes.find(std::string(keyMusicKind) + "=");
    const std::size_t track = bytes.find(std::string(keyRepeatTrack) + "=");
    const std::size_t file = bytes.find(std::string(keyMusicFile) + "=");
    ASSERT_NE(kind, std::string::npos) << bytes;
    EXPECT_LT(kind, track);
    EXPECT_LT(track, file);
}

TEST_F(SettingsDialogTest, NoMusicKeepsThePathAndBadTrackTextsSaveZero) {
    auto dialog = openDialog();
    pressOnPanel(*dialog, WM_LBUTTONDOWN, layout::optionLabels[0]);
    SetWindowTextW(dialog->repeatBox(), L"abc");
    dialog->saveAndClose();
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicKind, ini), L"0");
    EXPECT_EQ(ReadSetting(settingsSection, keyRepeatTrack, ini), L"0");
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicFile, ini), L"C:\\Music\\tune.mp3");
}

TEST_F(SettingsDialogTest, CancelAndTheCloseBoxWriteNothing) {
    auto first = openDialog();
    pressOnPanel(*first, WM_LBUTTONDOWN, layout::optionLabels[1]);
    click(first->cancelButton());
    EXPECT_FALSE(IsWindow(first->window()));
    auto second = openDialog();
    SendMessageW(second->window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    test::pumpMessages();
    EXPECT_FALSE(IsWindow(second->window()));
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "no settings file may appear";
}

// A key press as the dialog's own loop hands it on: through the dialog manager.
void pressKeyInDialog(const SettingsDialog& dialog, WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsWindow(dialog.window()) || !IsDialogMessageW(dialog.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

TEST_F(SettingsDialogTest, EscapeClosesLikeCancelWhereverTheFocusIs) {
    auto first = openDialog();
    pressOnPanel(*first, WM_LBUTTONDOWN, layout::optionLabels[1]);
    SetFocus(first->repeatBox());
    SetWindowTextW(first->repeatBox(), L"9");
    pressKeyInDialog(*first, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(first->window())) << "Escape in the repeat box";

    auto second = openDialog();
    Command& set = second->setButton();
    SetFocus(set.window());
    const int paints = set.paintCount();
    // The button itself takes no keys: delivered straight to it, Escape,
    // Enter and Space change nothing.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) {
        SendMessageW(set.window(), WM_KEYDOWN, key, 1);
        SendMessageW(set.window(), WM_KEYUP, key, 0xC0000001);
    }
    EXPECT_TRUE(IsWindow(second->window()));
    EXPECT_EQ(set.paintCount(), paints);
    EXPECT_EQ(set.state(), StateSelected);
    pressKeyInDialog(*second, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(second->window())) << "Escape on a focused button";
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "no settings file may appear";
}

TEST_F(SettingsDialogTest, EscapeFirstClosesAnOpenTrackList) {
    music.BGM_Kind = 1;
    auto dialog = openDialog();
    SetFocus(dialog->repeatBox());
    SendMessageW(dialog->repeatBox(), CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageW(dialog->repeatBox(), CB_GETDROPPEDSTATE, 0, 0));
    pressKeyInDialog(*dialog, VK_ESCAPE);
    ASSERT_TRUE(IsWindow(dialog->window())) << "the first Escape belongs to the list";
    EXPECT_FALSE(SendMessageW(dialog->repeatBox(), CB_GETDROPPEDSTATE, 0, 0));
    pressKeyInDialog(*dialog, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog->window()));
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(RepeatTrackTest, TextsReadAsTrackNumbers) {
    EXPECT_EQ(repeatTrackFrom(L""), 0);
    EXPECT_EQ(repeatTrackFrom(L"5"), 5);
    EXPECT_EQ(repeatTrackFrom(L" 30 "), 30);
    EXPECT_EQ(repeatTrackFrom(L"2.5"), 2);
    EXPECT_EQ(repeatTrackFrom(L"3.5"), 4);
    EXPECT_EQ(repeatTrackFrom(L"-1"), -1);
    EXPECT_EQ(repeatTrackFrom(L"abc"), 0);
    EXPECT_EQ(repeatTrackFrom(L"5x"), 0);
    EXPECT_EQ(repeatTrackFrom(L"0x10"), 0);
    EXPECT_EQ(repeatTrackFrom(L"99999"), 0) << "outside 16 bits is no track";
    EXPECT_EQ(repeatTrackFrom(L"inf"), 0);
    EXPECT_EQ(signBlank(0), L" 0");
    EXPECT_EQ(signBlank(12), L" 12");
    EXPECT_EQ(signBlank(-3), L"-3");
}

} // namespace
} // namespace solvane
