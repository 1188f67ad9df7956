// The front end's text rules as the Windows program runs them, natively.
#include "rules/decimal_number.h"
#include "rules/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace solvane {
namespace {

TEST(DecimalNumberTest, WholeNumberTakesTheClassicFormOnly) {
    EXPECT_EQ(wholeNumber(L" 2"), 2.0);
    EXPECT_EQ(wholeNumber(L"\t-0.5 \t"), -0.5);
    EXPECT_EQ(wholeNumber(L"+.5"), 0.5);
    EXPECT_EQ(wholeNumber(L"5."), 5.0);
    EXPECT_EQ(wholeNumber(L"1.5E+2"), 150.0);
    EXPECT_EQ(wholeNumber(L"2e-1"), 0.2);
    for (const wchar_t* bad : {L"", L" ", L"+", L".", L"1e", L"1e+", L"0x10", L"inf", L"nan", L"1 2", L"1d2", L"--1",
                               L"1.2.3", L"\n1", L"\uFF11", L"1,5"}) {
        EXPECT_FALSE(wholeNumber(bad).has_value()) << std::wstring(bad).size();
    }
}

TEST(DecimalNumberTest, ExtremeExponentsAndLongDigitsSaturate) {
    EXPECT_EQ(wholeNumber(L"1e400"), INFINITY);
    EXPECT_EQ(wholeNumber(L"-1e999999999999999999"), -INFINITY);
    EXPECT_EQ(wholeNumber(L"1e-400"), 0.0);
    EXPECT_EQ(wholeNumber(L"0e999999"), 0.0) << "zero stays zero whatever the exponent";
    EXPECT_EQ(wholeNumber(L"0.0001e4"), 1.0);
    const std::wstring manyDigits = L"1" + std::wstring(5000, L'0');
    EXPECT_EQ(wholeNumber(manyDigits), INFINITY);
    EXPECT_EQ(wholeNumber(manyDigits + L"e-5000"), 1.0);
    EXPECT_EQ(wholeNumber(L"0." + std::wstring(5000, L'0') + L"1e5001"), 1.0);
}

TEST(DecimalNumberTest, LeadingNumberReadsUntilTheFirstStrangerAndSkipsBlanks) {
    EXPECT_EQ(leadingNumber(L"99x12"), 99.0);
    EXPECT_EQ(leadingNumber(L" 1 2\t3\n4"), 1234.0);
    EXPECT_EQ(leadingNumber(L"1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber(L"1e"), 1.0) << "an exponent without digits counts as none";
    EXPECT_EQ(leadingNumber(L"2d3"), 2000.0);
    EXPECT_EQ(leadingNumber(L"-4E-1"), -0.4);
    EXPECT_EQ(leadingNumber(L"5e+-3"), 5.0);
    EXPECT_EQ(leadingNumber(L"7e3.5"), 7000.0);
    EXPECT_FALSE(leadingNumber(L"").has_value());
    EXPECT_FALSE(leadingNumber(L"abc").has_value());
    EXPECT_FALSE(leadingNumber(L"-.e5").has_value());
    EXPECT_FALSE(leadingNumber(L"+-5").has_value());
}

TEST(DecimalNumberTest, HalvesRoundToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(roundHalfEven(-0.4), 0.0);
    EXPECT_EQ(roundHalfEven(9007199254740993.0), 9007199254740992.0);
}

TEST(TextRulesTest, HostHandleFromTheFourthCharacter) {
    EXPECT_EQ(hostHandleOf(L"/p 1234"), 1234);
    EXPECT_EQ(hostHandleOf(L"/p1234"), 234);
    EXPECT_EQ(hostHandleOf(L"/p 12.5"), 12);
    EXPECT_EQ(hostHandleOf(L"/p 13.5"), 14);
    EXPECT_EQ(hostHandleOf(L"/p -2147483648.4"), INT32_MIN);
    EXPECT_EQ(hostHandleOf(L"/p 2147483647.5"), 0) << "rounds to 2^31, outside 32 bits";
    EXPECT_EQ(hostHandleOf(L"/p 1e400"), 0);
    EXPECT_EQ(hostHandleOf(L"/p"), 0);
}

TEST(TextRulesTest, SettingNumbersFloorInsideSixteenBits) {
    EXPECT_EQ(settingNumber(L" 2"), 2);
    EXPECT_EQ(settingNumber(L"1.9"), 1);
    EXPECT_EQ(settingNumber(L"-0.5"), -1);
    EXPECT_EQ(settingNumber(L"-32768"), -32768);
    EXPECT_EQ(settingNumber(L"32767.99"), 32767);
    EXPECT_EQ(settingNumber(L"-32768.01"), std::nullopt);
    EXPECT_EQ(settingNumber(L"40000"), std::nullopt);
    EXPECT_EQ(settingNumber(L"abc"), std::nullopt);
    EXPECT_EQ(settingNumber(L"1e-400"), 0);
}

TEST(TextRulesTest, RepeatTrackRoundsHalfToEvenAndRefusesTheRest) {
    EXPECT_EQ(repeatTrackFrom(L" 30 "), 30);
    EXPECT_EQ(repeatTrackFrom(L"2.5"), 2);
    EXPECT_EQ(repeatTrackFrom(L"3.5"), 4);
    EXPECT_EQ(repeatTrackFrom(L"-1"), -1);
    EXPECT_EQ(repeatTrackFrom(L"32767.5"), 0) << "rounds to 32768";
    EXPECT_EQ(repeatTrackFrom(L"-32768.5"), -32768);
    EXPECT_EQ(repeatTrackFrom(L"99999"), 0);
    EXPECT_EQ(repeatTrackFrom(L"5x"), 0);
}

TEST(TextRulesTest, CdRepliesFailOnErrAndCompareAsNumbers) {
    EXPECT_TRUE(cdReplyFailed(L"Error:-1"));
    EXPECT_TRUE(cdReplyFailed(L"The device is not ready (eRr)"));
    EXPECT_FALSE(cdReplyFailed(L"ER R"));
    EXPECT_FALSE(cdReplyFailed(L"\u0130RR")) << "only ASCII letters fold";
    EXPECT_FALSE(cdReplyFailed(L"12"));
    EXPECT_EQ(cdReplyNumber(L" 3 "), 3.0);
    EXPECT_EQ(cdReplyNumber(L"03.0"), 3.0);
    EXPECT_EQ(cdReplyNumber(L"01:02:03"), std::nullopt);
    EXPECT_EQ(cdReplyNumber(L"1e999"), std::nullopt) << "too large to compare";
}

TEST(TextRulesTest, StoredFontNumbersTakeTheClassicFormInsideTheirRange) {
    EXPECT_EQ(fontPointsFrom(L"9.75"), 9.75);
    EXPECT_EQ(fontPointsFrom(L"1638"), 1638.0);
    EXPECT_EQ(fontPointsFrom(L"1e1"), 10.0) << "what a six-digit %g may write";
    for (const wchar_t* bad : {L"0", L"-1", L"1638.01", L"0x10", L"inf", L"nan", L"", L"9,75", L"1e999"}) {
        EXPECT_EQ(fontPointsFrom(bad), std::nullopt) << std::wstring(bad).size();
    }
    EXPECT_EQ(fontFieldFrom(L"400", 0, 1000), 400);
    EXPECT_EQ(fontFieldFrom(L"128", 0, 255), 128);
    EXPECT_EQ(fontFieldFrom(L"1", 0, 1), 1);
    EXPECT_EQ(fontFieldFrom(L"1.0", 0, 1), 1) << "a whole value written with a point";
    for (const wchar_t* bad : {L"0.5", L"2", L"-1", L"1e400", L"true", L""}) {
        EXPECT_EQ(fontFieldFrom(bad, 0, 1), std::nullopt) << std::wstring(bad).size();
    }
}

TEST(TextRulesTest, StoredPropertiesTakeSignedDecimalsAndTheTwoWords) {
    EXPECT_EQ(storedInteger(L"-1"), -1);
    EXPECT_EQ(storedInteger(L"+16777215"), 16777215);
    EXPECT_EQ(storedInteger(L"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(storedInteger(L"-9223372036854775808"), INT64_MIN);
    for (const wchar_t* bad : {L"9223372036854775808", L"-9223372036854775809", L"", L"-", L" 1", L"1 ", L"0x10",
                               L"1.0", L"1e3", L"\uFF11"}) {
        EXPECT_EQ(storedInteger(bad), std::nullopt) << std::wstring(bad).size();
    }
    EXPECT_EQ(storedFlag(L"tRUE"), true);
    EXPECT_EQ(storedFlag(L"False"), false);
    EXPECT_EQ(storedFlag(L"-1"), true);
    EXPECT_EQ(storedFlag(L"0"), false);
    EXPECT_EQ(storedFlag(L"Truth"), std::nullopt);
    EXPECT_EQ(storedFlag(L"yes"), std::nullopt);
}

// Command lines as hosts hand them over: the program's path quoted, or
// unquoted with blanks in its long or short form, then the request.
class ArgumentTextTest : public ::testing::Test {
protected:
    static constexpr std::wstring_view longPath = L"C:\\Users\\Ann Lee\\AppData\\Local\\Programs\\Solvane\\Solvane.scr";
    static constexpr std::wstring_view shortPath =
        L"C:\\Users\\ANNLEE~1\\AppData\\Local\\Programs\\Solvane\\Solvane.scr";
    static constexpr std::wstring_view own[] = {longPath, shortPath};

    static std::wstring argumentsOf(std::wstring_view commandLine) {
        return std::wstring(commandLine.substr(argumentTextStart(commandLine, own)));
    }
    static std::wstring after(std::wstring_view path, std::wstring_view rest) {
        return std::wstring(path) + std::wstring(rest);
    }
};

TEST_F(ArgumentTextTest, AnUnquotedPathWithBlanksIsFoundInEitherForm) {
    for (const std::wstring_view path : own) {
        EXPECT_EQ(argumentsOf(after(path, L" /s")), L"/s");
        EXPECT_EQ(argumentsOf(after(path, L" /p 1234")), L"/p 1234");
        EXPECT_EQ(argumentsOf(after(path, L" /c:5678")), L"/c:5678");
        EXPECT_EQ(argumentsOf(after(path, L" -s")), L"-s");
        EXPECT_EQ(argumentsOf(after(path, L"   \t /S")), L"/S") << "every blank and tab between goes";
        EXPECT_EQ(argumentsOf(after(path, L" /c:5678 ")), L"/c:5678 ") << "the arguments themselves are not altered";
        EXPECT_EQ(argumentsOf(path), L"") << "no arguments at all";
        EXPECT_EQ(argumentsOf(after(path, L"   ")), L"");
    }
}

TEST_F(ArgumentTextTest, TheOwnPathMatchesInAnyAsciiCase) {
    EXPECT_EQ(argumentsOf(L"c:\\users\\ann lee\\appdata\\local\\programs\\solvane\\SOLVANE.SCR /s"), L"/s");
    EXPECT_EQ(argumentsOf(L"C:\\USERS\\annlee~1\\APPDATA\\LOCAL\\PROGRAMS\\SOLVANE\\solvane.scr /p 99"), L"/p 99");
}

TEST_F(ArgumentTextTest, QuotedPathsEndAtTheClosingQuote) {
    EXPECT_EQ(argumentsOf(L"\"C:\\Users\\Ann Lee\\Solvane.scr\" /s"), L"/s");
    EXPECT_EQ(argumentsOf(after(L"\"", after(longPath, L"\" /p 1234"))), L"/p 1234");
    EXPECT_EQ(argumentsOf(L"\"C:\\Other Place\\Solvane.scr\"/c"), L"/c") << "no blank needed after the quote";
    EXPECT_EQ(argumentsOf(L"\"C:\\Ann Lee\\Solvane.scr /s"), L"") << "an unclosed quote takes the rest";
    EXPECT_EQ(argumentsOf(L"\"\" /s"), L"/s");
}

TEST_F(ArgumentTextTest, OtherPathsEndAtTheFirstBlank) {
    EXPECT_EQ(argumentsOf(L"C:\\Windows\\Solvane.scr   /p 1234"), L"/p 1234");
    EXPECT_EQ(argumentsOf(L"Solvane.scr /c:5678 "), L"/c:5678 ");
    EXPECT_EQ(argumentsOf(L"Solvane.scr\t/s"), L"/s");
    EXPECT_EQ(argumentsOf(L""), L"");
    // A path that merely starts like ours is not ours: no part of it is
    // taken for our path, and the request it yields is no request of ours.
    EXPECT_EQ(argumentsOf(after(longPath, L".bak /s")), L"Lee\\AppData\\Local\\Programs\\Solvane\\Solvane.scr.bak /s");
    EXPECT_EQ(argumentsOf(after(longPath, L"x /s")), L"Lee\\AppData\\Local\\Programs\\Solvane\\Solvane.scrx /s");
    const std::wstring_view folderOnly[] = {L"C:\\Saver Test"};
    const std::wstring line = L"C:\\Saver Test\\Solvane.scr /s";
    EXPECT_EQ(line.substr(argumentTextStart(line, folderOnly)), L"Test\\Solvane.scr /s")
        << "a folder of ours that the program lies in is not the program";
}

TEST_F(ArgumentTextTest, EmptyOrMissingOwnPathsFallBackToTheFirstBlank) {
    const std::wstring line = after(longPath, L" /s");
    EXPECT_EQ(line.substr(argumentTextStart(line, {})), L"Lee\\AppData\\Local\\Programs\\Solvane\\Solvane.scr /s");
    const std::wstring_view empty[] = {L""};
    EXPECT_EQ(line.substr(argumentTextStart(line, empty)), L"Lee\\AppData\\Local\\Programs\\Solvane\\Solvane.scr /s");
}

} // namespace
} // namespace solvane
