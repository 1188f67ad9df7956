// Saving from the settings dialog into a settings file that cannot be
// written: the user is told which file and why, and the dialog stays.
#include "dialog_fixture.h"
#include "settings/settings_file.h"
#include "settings_dialog/settings_dialog.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace solvane {
namespace {

// What the message boxes said, and how many there were.
struct Seen {
    int count = 0;
    HWND last = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
};

// Answers every message box of this thread from a timer, which runs inside
// the box's own modal loop, and keeps what the box said.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        seen = {};
        timer_ = SetTimer(nullptr, 0, 20, tick);
    }
    ~MessageBoxAnswerer() { KillTimer(nullptr, timer_); }

    static inline Seen seen;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), answer, 0); }

    static BOOL CALLBACK answer(HWND window, LPARAM) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window) || window == seen.last) {
            return TRUE;
        }
        wchar_t text[1024] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 1024); // the box's message text
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        seen = {seen.count + 1, window, GetWindow(window, GW_OWNER), caption, text};
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }

    UINT_PTR timer_ = 0;
};

class SettingsSaveTest : public test::DialogFixture {
protected:
    SettingsSaveTest() { music = {1, 7, L"C:\\Music\\tune.mp3"}; }

    // Presses 設定 and lets the answerer deal with any box it brings.
    static Seen pressSet(SettingsDialog& dialog) {
        MessageBoxAnswerer answerer;
        SetWindowTextW(dialog.repeatBox(), L"7");
        dialog.saveAndClose();
        return MessageBoxAnswerer::seen;
    }

    void expectSaved() const {
        EXPECT_EQ(ReadSetting(settingsSection, keyMusicKind, ini), L"1");
        EXPECT_EQ(ReadSetting(settingsSection, keyRepeatTrack, ini), L"7");
        EXPECT_EQ(ReadSetting(settingsSection, keyMusicFile, ini), L"C:\\Music\\tune.mp3");
    }
};

TEST_F(SettingsSaveTest, AFolderInTheFilesPlaceIsReportedAndTheDialogStaysUntilSavingWorks) {
    ASSERT_TRUE(CreateDirectoryW(ini.c_str(), nullptr));
    auto dialog = openDialog();
    const Seen box = pressSet(*dialog);
    ASSERT_EQ(box.count, 1) << "a failed save must be told";
    EXPECT_EQ(box.owner, dialog->window());
    EXPECT_EQ(box.caption, L"Solvane");
    EXPECT_NE(box.text.find(L"設定を保存できませんでした"), std::wstring::npos) << box.text.c_str();
    EXPECT_NE(box.text.find(ini), std::wstring::npos) << "the message names the file";
    EXPECT_NE(box.text.find(L"理由: "), std::wstring::npos);
    EXPECT_TRUE(IsWindow(dialog->window())) << "the dialog stays open";
    EXPECT_EQ(GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD{FILE_ATTRIBUTE_DIRECTORY});

    // The user fixes the folder and tries again: saved, closed, no box.
    ASSERT_TRUE(RemoveDirectoryW(ini.c_str()));
    EXPECT_EQ(pressSet(*dialog).count, 0);
    EXPECT_FALSE(IsWindow(dialog->window()));
    expectSaved();
}

TEST_F(SettingsSaveTest, AFileHeldWithoutWriteSharingIsReportedAndKeepsItsContent) {
    const std::string before = "[Section]\r\nother=kept\r\n";
    test::writeFile(ini, before);
    HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto dialog = openDialog();
    const Seen box = pressSet(*dialog);
    CloseHandle(held);
    ASSERT_EQ(box.count, 1);
    EXPECT_NE(box.text.find(L"ほかのプログラムがこのファイルを使用しています"), std::wstring::npos) << box.text.c_str();
    EXPECT_TRUE(IsWindow(dialog->window()));
    EXPECT_EQ(iniBytes(), before);

    EXPECT_EQ(pressSet(*dialog).count, 0);
    EXPECT_FALSE(IsWindow(dialog->window()));
    expectSaved();
    EXPECT_EQ(ReadSetting(settingsSection, "other", ini), L"kept");
}

TEST_F(SettingsSaveTest, AFolderNameNoFormCanGiveGetsAdviceThatFitsIt) {
    // A folder whose name the code page lacks and that has no short form yet.
    ini = folder.path() + L"\\\u0141\u00f3d\u017a \u041c\u0443\u0437\u044b\u043a\u0430\\Solvane.ini";
    auto dialog = openDialog();
    const Seen box = pressSet(*dialog);
    ASSERT_EQ(box.count, 1);
    EXPECT_NE(box.text.find(L"\u6587\u5b57\u30b3\u30fc\u30c9"), std::wstring::npos) << box.text.c_str(); // 文字コード
    EXPECT_NE(box.text.find(L"\u30b3\u30fc\u30c9 \u30da\u30fc\u30b8 " + std::to_wstring(GetACP())), std::wstring::npos)
        << "names the code page";
    EXPECT_EQ(box.text.find(L"\u66f8\u304d\u8fbc\u3081\u308b\u3088\u3046\u306b"), std::wstring::npos)
        << "no advice to make the folder writable: " << box.text.c_str(); // 書き込めるように
    EXPECT_EQ(box.text.find(L"\u30a8\u30e9\u30fc 123"), std::wstring::npos) << "no invalid-name error"; // エラー 123
    EXPECT_TRUE(IsWindow(dialog->window()));
}

} // namespace
} // namespace solvane
