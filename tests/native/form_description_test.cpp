// The stored form description and its UTF-8, natively.
#include "button/property_bag.h"
#include "rules/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace solvane {
namespace {

TEST(Utf8Test, WellFormedTextRoundTripsWithWideCharactersOfEitherSize) {
    const std::string text = "A\xC3\xA9\xE8\xA8\xAD\xE5\xAE\x9A\xF0\x9F\x8E\xB5"; // Aé設定🎵
    const std::wstring wide = wideFromUtf8(text);
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 6u : 5u);
    EXPECT_EQ(utf8FromWide(wide), text);
}

TEST(Utf8Test, IllFormedBytesBecomeOneReplacementEach) {
    EXPECT_EQ(wideFromUtf8("\xFF"), L"\uFFFD");
    EXPECT_EQ(wideFromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD") << "overlong";
    EXPECT_EQ(wideFromUtf8("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD") << "a surrogate";
    EXPECT_EQ(wideFromUtf8("\xF4\x90\x80\x80"), L"\uFFFD\uFFFD\uFFFD\uFFFD") << "past U+10FFFF";
    EXPECT_EQ(wideFromUtf8("\xE8\xA8x"), L"\uFFFDx") << "a cut sequence keeps the byte after it";
    EXPECT_EQ(wideFromUtf8("\xE8"), L"\uFFFD");
    EXPECT_EQ(utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(FormDescriptionNativeTest, ParsedTextSerializesToWhatParsesTheSame) {
    const std::string stored = "[Cmd_Set]\r\nCaption=\xE8\xA8\xAD\xE5\xAE\x9A\r\nNote=a\\\\b\\nc\\q\\\r\n"
                               "[x]y]\r\n[k=v\r\nk2=\xFF\r\n# c\r\n[Cmd_Set]\r\nCaption=again\r\n";
    const FormDescription parsed = FormDescription::parse(stored);
    ASSERT_EQ(parsed.controls().size(), 2u);
    EXPECT_EQ(parsed.find(L"Cmd_Set")->read(L"Caption"), L"again");
    EXPECT_EQ(parsed.find(L"Cmd_Set")->read(L"Note"), L"a\\b\nc\\q\\");
    EXPECT_EQ(parsed.find(L"x]y")->read(L"[k"), L"v");
    EXPECT_EQ(parsed.find(L"x]y")->read(L"k2"), L"\uFFFD");
    const FormDescription again = FormDescription::parse(parsed.serialize());
    EXPECT_EQ(again, parsed);
    EXPECT_EQ(again.serialize(), parsed.serialize());
}

} // namespace
} // namespace solvane
