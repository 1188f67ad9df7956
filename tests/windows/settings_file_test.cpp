// The settings file through the real profile functions, and the file test.
#include "scratch_folder.h"
#include "settings/settings_file.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace solvane {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    // Writes the file as raw bytes, the keys as their code-page-932 bytes.
    void writeIni(const std::string& kind, const std::string& track, const std::string& file) {
        std::ofstream out(ini.c_str(), std::ios::binary);
        out << "[Section]\r\n";
        out << keyMusicKind << "=" << kind << "\r\n";
        out << keyRepeatTrack << "=" << track << "\r\n";
        out << keyMusicFile << "=" << file << "\r\n";
    }

    static std::string narrow(const std::wstring& text) {
        return std::string(text.begin(), text.end()); // the test's paths are ASCII
    }

    const test::ScratchFolder scratch{L"settings"};
    const std::wstring folder = scratch.path();
    const std::wstring ini = folder + L"\\Solvane.ini";
    const std::wstring music = scratch.file(L"music.mp3");
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefaults) {
    const MusicSettings loaded = LoadSettings(ini, MusicSettings{5, 9, L"C:\\before.mp3"});
    EXPECT_EQ(loaded.BGM_Kind, 0);
    EXPECT_EQ(loaded.BGM_Track, 0);
    EXPECT_EQ(loaded.BGM_File, L"");
}

TEST_F(SettingsFileTest, ValuesLoadWithTheirSignBlankAndAnExistingFile) {
    writeIni(" 2", " 12", narrow(music));
    const MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 2);
    EXPECT_EQ(loaded.BGM_Track, 12);
    EXPECT_EQ(loaded.BGM_File, music);
}

TEST_F(SettingsFileTest, NumbersAreFlooredAndBadOnesKeepTheOldValue) {
    writeIni("1.9", "-0.5", "");
    MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 1);
    EXPECT_EQ(loaded.BGM_Track, -1);

    writeIni("7", "abc", "");
    loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 7) << "meaningless but numeric values load as they are";
    EXPECT_EQ(loaded.BGM_Track, 0);

    writeIni("32767", "40000", "");
    loaded = LoadSettings(ini, loaded);
    EXPECT_EQ(loaded.BGM_Kind, 32767);
    EXPECT_EQ(loaded.BGM_Track, 0);
    writeIni("-32768.5", "1e2", "");
    loaded = LoadSettings(ini, loaded);
    EXPECT_EQ(loaded.BGM_Kind, 32767) << "-32769 is out of range";
    EXPECT_EQ(loaded.BGM_Track, 100);
}

TEST_F(SettingsFileTest, AFileSourceWhoseFileIsGoneOrEmptyPlaysNothing) {
    writeIni(" 2", " 0", narrow(folder) + "\\gone.mp3");
    MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 0);
    EXPECT_EQ(loaded.BGM_File, L"");

    writeIni(" 2", " 0", "");
    loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 0);

    writeIni(" 1", " 3", narrow(folder) + "\\gone.mp3");
    loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 1) << "the CD keeps its source; only the path is dropped";
    EXPECT_EQ(loaded.BGM_Track, 3);
    EXPECT_EQ(loaded.BGM_File, L"");
}

TEST_F(SettingsFileTest, ATrailingBackslashStillNamesTheFile) {
    writeIni(" 2", " 0", narrow(music) + "\\");
    const MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 2);
    EXPECT_EQ(loaded.BGM_File, music + L"\\");
}

TEST_F(SettingsFileTest, ALongPathIsCutTo255BytesAndDropped) {
    const std::string longPath = narrow(music) + std::string(300, 'x');
    writeIni(" 2", " 0", longPath);
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicFile, ini).size(), 255u);
    const MusicSettings loaded = LoadSettings(ini);
    EXPECT_EQ(loaded.BGM_Kind, 0);
    EXPECT_EQ(loaded.BGM_File, L"");
}

TEST_F(SettingsFileTest, RandomBytesLoadAsNoMusicAndStayUntouched) {
    std::string bytes;
    unsigned seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(seed >> 24));
    }
    test::writeFile(ini, bytes);
    const MusicSettings loaded = LoadSettings(ini);
    EXPECT_TRUE(loaded.BGM_File.empty());
    EXPECT_NE(loaded.BGM_Kind, 2);
    EXPECT_EQ(test::fileContent(ini), bytes) << "reading must never change the file";
}

TEST_F(SettingsFileTest, WrittenValuesReadBackInTheDialogsOrder) {
    WriteSetting(settingsSection, keyMusicKind, L" 1", ini);
    WriteSetting(settingsSection, keyRepeatTrack, L" 30", ini);
    WriteSetting(settingsSection, keyMusicFile, L"", ini);
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicKind, ini), L"1");
    EXPECT_EQ(ReadSetting(settingsSection, keyRepeatTrack, ini), L"30");
    EXPECT_EQ(ReadSetting(settingsSection, keyMusicFile, ini), L"");
    const std::string text = test::fileContent(ini);
    const std::size_t section = text.find("[Section]");
    const std::size_t kind = text.find(std::string(keyMusicKind) + "=");
    const std::size_t track = text.find(std::string(keyRepeatTrack) + "=");
    const std::size_t file = text.find(std::string(keyMusicFile) + "=");
    ASSERT_NE(section, std::string::npos);
    ASSERT_NE(kind, std::string::npos) << "key bytes must be stored as written";
    EXPECT_LT(section, kind);
    EXPECT_LT(kind, track);
    EXPECT_LT(track, file);
}

TEST_F(SettingsFileTest, FileExistsOnlyForReadableFiles) {
    EXPECT_EQ(FileExists(music), -1);
    EXPECT_EQ(FileExists(music + L"\\"), -1);
    EXPECT_EQ(FileExists(folder), 0) << "a folder is not a file";
    EXPECT_EQ(FileExists(folder + L"\\"), 0);
    EXPECT_EQ(FileExists(L""), 0);
    EXPECT_EQ(FileExists(folder + L"\\missing.mp3"), 0);
    EXPECT_EQ(FileExists(folder + L"\\a\"b.mp3"), 0);

    // Locked against reading by another handle.
    HANDLE locked = CreateFileW(music.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileExists(music), 0);
    CloseHandle(locked);
    EXPECT_EQ(FileExists(music), -1);
}

} // namespace
} // namespace solvane
