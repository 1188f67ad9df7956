// Paths handed to the narrow platform calls in the system's code page: the
// long form where it can be written, the short form where not, and never a
// text that names another file. Run under code page 1252 and under 932.
#include "scratch_folder.h"
#include "text/ansi_text.h"
#include "text/platform_path.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace solvane::test {
namespace {

// Polish and Cyrillic letters and a blank: no code page writes them all.
const std::wstring mixedName = L"\u0141\u00f3d\u017a \u041c\u0443\u0437\u044b\u043a\u0430";
// Japanese: in code page 932, outside 1252.
const std::wstring japaneseName = L"\u97f3\u697d";

bool plainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7f; });
}

bool inCodePage(const std::wstring& text) { return toAnsiExactly(text).has_value(); }

TEST(PlatformPathTest, APathTheCodePageWritesIsGivenAsItIs) {
    const ScratchFolder scratch(L"plain folder");
    const std::wstring file = scratch.file(L"tone.wav", "plain");
    const NarrowPath narrow = narrowPath(file);
    ASSERT_TRUE(narrow.usable());
    EXPECT_EQ(narrow.text, toAnsi(file)) << "the long form, not the short one";
    EXPECT_EQ(narrowFileContent(narrow.text), "plain");
}

TEST(PlatformPathTest, NamesOutsideTheCodePageTakeTheShortFormOfTheSameFile) {
    for (const std::wstring& name : {mixedName, japaneseName, std::wstring(L"\u0142\u00f3d\u017a")}) {
        const ScratchFolder scratch(name);
        const std::wstring file = scratch.file(L"tone.wav", "the one meant");
        const NarrowPath narrow = narrowPath(file);
        ASSERT_TRUE(narrow.usable()) << toAnsi(name);
        if (inCodePage(file)) {
            EXPECT_EQ(fromAnsi(narrow.text), file) << "written in the code page: kept long";
        } else {
            EXPECT_TRUE(plainAscii(narrow.text)) << narrow.text;
            EXPECT_EQ(longPathOf(fromAnsi(narrow.text)), longPathOf(file));
        }
        EXPECT_EQ(narrowFileContent(narrow.text), "the one meant") << narrow.text;
    }
}

TEST(PlatformPathTest, BestFitNeverNamesAnotherFile) {
    // Best fit turns the Polish letters into plain ones: "Lodz" is another
    // folder, and it exists.
    const ScratchFolder scratch(L"names");
    const std::wstring meant = writeFile(scratch.folder(L"\u0141\u00f3d\u017a") + L"\\a.mp3", "polish");
    writeFile(scratch.folder(L"Lodz") + L"\\a.mp3", "plain");
    const NarrowPath narrow = narrowPath(meant);
    ASSERT_TRUE(narrow.usable());
    EXPECT_EQ(narrowFileContent(narrow.text), "polish") << narrow.text;
}

TEST(PlatformPathTest, AFileNotYetMadeTakesItsFoldersShortForm) {
    const ScratchFolder scratch(mixedName);
    const NarrowPath narrow = narrowPath(scratch.path() + L"\\Solvane.ini");
    ASSERT_TRUE(narrow.usable());
    EXPECT_TRUE(plainAscii(narrow.text)) << narrow.text;
    HANDLE made = CreateFileA(narrow.text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    EXPECT_NE(GetFileAttributesW((scratch.path() + L"\\Solvane.ini").c_str()), INVALID_FILE_ATTRIBUTES)
        << "made in the folder meant";

    // A name that exists nowhere yet has no short form to fall back on.
    const std::wstring nowhere = scratch.path() + L"\\" + mixedName + L"\\Solvane.ini";
    EXPECT_EQ(narrowPath(nowhere).fault, NarrowPathFault::OutsideCodePage);
}

TEST(PlatformPathTest, TextsThatWouldEndTheNameOrTheCommandAreRefused) {
    EXPECT_EQ(narrowPath(std::wstring(L"C:\\a.mp3\0b.mp3", 14)).fault, NarrowPathFault::EmbeddedNul);
    EXPECT_EQ(narrowQuotedPath(L"C:\\x.mp3\" type waveaudio alias MP3Play \"y.mp3").fault,
              NarrowPathFault::DoubleQuote);
    EXPECT_TRUE(narrowPath(L"C:\\x\".mp3").usable()) << "unquoted calls take what the name holds";

    // A fullwidth quote, which best fit would make a plain one: written as
    // itself where the code page has it, else through the short form.
    const ScratchFolder scratch(L"quotes");
    const std::wstring file = scratch.file(L"\uFF02tone\uFF02.mp3", "quoted");
    const NarrowPath narrow = narrowQuotedPath(file);
    ASSERT_TRUE(narrow.usable());
    EXPECT_EQ(narrow.text.find('"'), std::string::npos) << narrow.text;
    EXPECT_EQ(narrowFileContent(narrow.text), "quoted") << narrow.text;
}

TEST(PlatformPathTest, ExactConversionRefusesWhatDoesNotComeBack) {
    EXPECT_EQ(toAnsiExactly(L""), std::string());
    EXPECT_EQ(toAnsiExactly(L"C:\\Music\\a.mp3"), std::string("C:\\Music\\a.mp3"));
    EXPECT_EQ(toAnsiExactly(L"\u0141"), std::nullopt) << "no code page of the tests has it";
    EXPECT_EQ(toAnsiExactly(std::wstring(1, static_cast<wchar_t>(0xD800))), std::nullopt) << "a lone surrogate";
    if (GetACP() == 1252) {
        EXPECT_EQ(toAnsiExactly(L"caf\u00e9"), std::string("caf\xe9"));
        EXPECT_EQ(toAnsiExactly(L"\u97f3"), std::nullopt);
    } else if (GetACP() == 932) {
        EXPECT_EQ(toAnsiExactly(L"\u97f3\u697d"), std::string("\x89\xb9\x8a\x79"));
        EXPECT_EQ(toAnsiExactly(L"\u00e9"), std::nullopt);
    }
}

TEST(PlatformPathTest, ShortAndLongFormsOfOneFile) {
    const ScratchFolder scratch(mixedName);
    const std::wstring file = scratch.file(L"a long file name.wav");
    const std::wstring shortForm = shortPathOf(file);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_NE(shortForm, file);
    EXPECT_EQ(longPathOf(shortForm), longPathOf(file));
    const std::wstring notYet = scratch.path() + L"\\not yet\\" + mixedName;
    EXPECT_EQ(shortPathOf(notYet), shortPathOf(scratch.path()) + L"\\not yet\\" + mixedName)
        << "what does not exist is appended as it stands";
}

} // namespace
} // namespace solvane::test
