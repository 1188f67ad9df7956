// The settings file where users keep it: in folders the code page cannot
// name, with music files the same, and a save that fails halfway leaving
// the file as it was.
#include "scratch_folder.h"
#include "settings/profile_seam.h"
#include "settings/settings_file.h"
#include "text/ansi_text.h"
#include "text/platform_path.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace solvane::test {
namespace {

const std::wstring mixedName = L"\u0141\u00f3d\u017a \u041c\u0443\u0437\u044b\u043a\u0430";

std::string storedKey(std::string_view key) { return std::string(key) + "="; }

TEST(SettingsNamesTest, ASettingsFileInAFolderTheCodePageCannotNameSavesAndLoads) {
    const ScratchFolder scratch(mixedName);
    const std::wstring ini = scratch.folder(L"Solvane") + L"\\Solvane.ini";
    const std::wstring music = scratch.file(L"\u66f2 tone.mp3");

    const SaveResult saved = SaveSettings(2, 4, music, ini);
    ASSERT_TRUE(saved.saved()) << static_cast<int>(saved.fault) << " error " << saved.error;
    const std::string bytes = fileContent(ini);
    ASSERT_FALSE(bytes.empty()) << "written in the folder meant, under its wide name";
    const std::string storedMusic = narrowPath(music).text;
    // The profile functions store the values without their blanks.
    EXPECT_EQ(bytes, "[Section]\r\n" + storedKey(keyMusicKind) + "2\r\n" + storedKey(keyRepeatTrack) + "4\r\n" +
                         storedKey(keyMusicFile) + storedMusic + "\r\n");
    EXPECT_EQ(longPathOf(fromAnsi(storedMusic)), longPathOf(music)) << "the stored text names the file chosen";

    const MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 2);
    EXPECT_EQ(loaded.BGM_Track, 4);
    EXPECT_EQ(longPathOf(loaded.BGM_File), longPathOf(music));
}

TEST(SettingsNamesTest, PathsNoFormCanNameAreRefusedBeforeAnythingIsWritten) {
    const ScratchFolder scratch(L"plain");
    const std::wstring ini = scratch.path() + L"\\Solvane.ini";
    const std::wstring nowhere = scratch.path() + L"\\" + mixedName + L"\\tone.mp3";
    EXPECT_EQ(SaveSettings(2, 0, nowhere, ini).fault, SaveFault::MusicPathUnwritable);
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was written";

    const std::wstring unnamed = scratch.path() + L"\\" + mixedName + L"\\Solvane.ini";
    EXPECT_EQ(SaveSettings(0, 0, L"", unnamed).fault, SaveFault::SettingsPathUnwritable);
    EXPECT_EQ(ReadSetting(L"Section", keyMusicKind, unnamed), L"");
    EXPECT_FALSE(WriteSetting(L"Section", keyMusicKind, L" 1", unnamed));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NO_UNICODE_TRANSLATION});
}

// Passes every write on to the real profile function but the one it fails.
class FailingWrite final : public ProfileWriteSeam {
public:
    explicit FailingWrite(int failing) : failing_(failing), previous_(installProfileWriteSeam(this)) {}
    ~FailingWrite() override { installProfileWriteSeam(previous_); }

    BOOL writeString(const char* section, const char* key, const char* value, const char* file) override {
        if (++calls == failing_) {
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        return previous_->writeString(section, key, value, file);
    }

    int calls = 0;

private:
    int failing_;
    ProfileWriteSeam* previous_;
};

class FailedSaveTest : public ::testing::Test {
protected:
    const ScratchFolder scratch{L"failed save"};
    const std::wstring ini = scratch.path() + L"\\Solvane.ini";
    const std::string before = "[Section]\r\n" + storedKey(keyMusicKind) + " 1\r\n" + storedKey(keyRepeatTrack) +
                               " 9\r\n" + storedKey(keyMusicFile) + "\r\n[Other]\r\nkept=yes\r\n";
};

TEST_F(FailedSaveTest, ASecondWriteThatFailsLeavesTheFileAsItWas) {
    writeFile(ini, before);
    const FailingWrite failing(2);
    const SaveResult result = SaveSettings(2, 3, scratch.file(L"tone.mp3"), ini);
    EXPECT_EQ(failing.calls, 2) << "no write after the failed one";
    EXPECT_EQ(result.fault, SaveFault::WriteFailed);
    EXPECT_EQ(result.error, DWORD{ERROR_DISK_FULL});
    EXPECT_TRUE(result.restored);
    EXPECT_EQ(fileContent(ini), before) << "the first value must not stay written";
}

TEST_F(FailedSaveTest, AFileThatDidNotExistIsNotLeftBehind) {
    const FailingWrite failing(3);
    const SaveResult result = SaveSettings(1, 2, L"", ini);
    EXPECT_EQ(result.fault, SaveFault::WriteFailed);
    EXPECT_TRUE(result.restored);
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FailedSaveTest, AValueThatReadsBackCutIsNotSavedAndIsTakenBack) {
    // The profile functions write any length but read 255 bytes: a real
    // write that succeeds and still does not hold the choice.
    writeFile(ini, before);
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L".mp3";
    const SaveResult result = SaveSettings(2, 5, longPath, ini);
    EXPECT_EQ(result.fault, SaveFault::ReadBackDiffers);
    EXPECT_TRUE(result.restored);
    EXPECT_EQ(fileContent(ini), before);
}

TEST_F(FailedSaveTest, AWorkingSaveKeepsWhatElseTheFileHolds) {
    writeFile(ini, before);
    ASSERT_TRUE(SaveSettings(0, 0, L"", ini).saved());
    EXPECT_EQ(ReadSetting(L"Other", "kept", ini), L"yes");
    EXPECT_EQ(ReadSetting(L"Section", keyMusicKind, ini), L"0");
}

} // namespace
} // namespace solvane::test
