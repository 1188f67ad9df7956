// Which music a saver run plays, and the kinds of music file as the settings
// dialog names them.
#include "music/file_kinds.h"
#include "music/music_choice.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <initializer_list>
#include <iterator>
#include <string>

namespace solvane {
namespace {

constexpr MusicTimer fileRepeat{1, 1000};
constexpr MusicTimer cdPoll{2, 200};

MusicChoice chosen(std::int16_t kind, const wchar_t* file) { return chooseMusic({kind, 0, file}); }

TEST(MusicChoiceTest, AFileIsPlayedByItsLastThreeLettersInAnyCase) {
    for (const wchar_t* file : {L"C:\\Music\\a.mp3", L"C:\\Music\\a.MP3", L"a.Mp3", L"a.mP3", L"mp3", L"a.xmp3",
                                L"C:\\PROGRA~1\\TUNE~1.MP3"}) {
        const MusicChoice choice = chosen(2, file);
        EXPECT_EQ(choice.source, MusicChoice::Source::File) << file;
        ASSERT_NE(choice.file, nullptr) << file;
        EXPECT_EQ(choice.file->playback, FilePlayback::Mci) << file;
        EXPECT_EQ(choice.timer, fileRepeat) << file;
    }
    for (const wchar_t* file : {L"C:\\Sounds\\a.wav", L"a.WAV", L"a.Wav", L"wAv"}) {
        const MusicChoice choice = chosen(2, file);
        EXPECT_EQ(choice.source, MusicChoice::Source::File) << file;
        ASSERT_NE(choice.file, nullptr) << file;
        EXPECT_EQ(choice.file->playback, FilePlayback::SoundLoop) << file;
        EXPECT_FALSE(choice.timer.has_value()) << file << ": the sound player loops it without a tick";
    }
}

TEST(MusicChoiceTest, AnyOtherFilePlaysNothing) {
    // Names shorter than three letters, other endings, an ending not last,
    // and letters that only look like the ending.
    for (const wchar_t* file : {L"", L"3", L"p3", L"a.mid", L"a.mp4", L"a.wma", L"a.mp3 ", L"a.mp3\\", L"a.mp3.txt",
                                L"a.ｍｐ３", L"a.WA V"}) {
        const MusicChoice choice = chosen(2, file);
        EXPECT_EQ(choice.source, MusicChoice::Source::Nothing) << file;
        EXPECT_EQ(choice.file, nullptr) << file;
        EXPECT_FALSE(choice.timer.has_value()) << file;
    }
}

TEST(MusicChoiceTest, TheKindPicksTheCdOrTheFileAndNothingElsePlays) {
    for (const wchar_t* file : {L"", L"a.mp3", L"a.wav"}) {
        const MusicChoice cd = chosen(1, file);
        EXPECT_EQ(cd.source, MusicChoice::Source::Cd) << file << ": the file does not matter for the CD";
        EXPECT_EQ(cd.file, nullptr);
        EXPECT_EQ(cd.timer, cdPoll);
        for (const std::int16_t kind : std::initializer_list<std::int16_t>{0, 3, -1, -2, 32767, -32768}) {
            const MusicChoice none = chosen(kind, file);
            EXPECT_EQ(none.source, MusicChoice::Source::Nothing) << kind << " " << file;
            EXPECT_FALSE(none.timer.has_value()) << kind << " " << file;
        }
    }
}

TEST(FileKindsTest, EachKindIsFoundByTheThreeLettersItsFilesEndIn) {
    for (const FileKind& kind : fileKinds) {
        const std::wstring ending(kind.ending);
        std::wstring lower = ending;
        for (wchar_t& c : lower) {
            c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
        }
        EXPECT_EQ(fileKindOf(L"C:\\Music\\a." + ending), &kind) << ending;
        EXPECT_EQ(fileKindOf(L"a." + lower), &kind) << ending;
    }
}

TEST(FileKindsTest, TheDialogNamesEveryKindAsBefore) {
    const wchar_t filter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
    EXPECT_EQ(fileKindFilter(), std::wstring(filter, std::size(filter) - 1))
        << "the name and the patterns, each ended by a NUL, and the chooser adds the last";
    EXPECT_EQ(fileKindLabel(), L"MP3、WAV");
}

} // namespace
} // namespace solvane
