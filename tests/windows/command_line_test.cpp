// The request letter and the preview host handle read from command lines.
#include "command_line.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

TEST(CommandLineTest, ArgumentsFollowTheProgramPath) {
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\Solvane.scr\" /s"), L"/s");
    EXPECT_EQ(argumentsOf(L"C:\\Windows\\Solvane.scr   /p 1234"), L"/p 1234");
    EXPECT_EQ(argumentsOf(L"Solvane.scr"), L"");
    EXPECT_EQ(argumentsOf(L"\"Solvane.scr\""), L"");
    EXPECT_EQ(argumentsOf(L"Solvane.scr /c:5678 "), L"/c:5678 ");
}

TEST(CommandLineTest, TheOwnPathIsFoundUnquotedInAnyCaseOfAnyLetter) {
    const std::wstring own[] = {L"C:\\Users\\\u0141\u00f3d\u017a \u041c\u0443\u0437\u044b\u043a\u0430\\Solvane.scr"};
    EXPECT_EQ(
        argumentsOf(L"C:\\USERS\\\u0142\u00d3D\u0179 \u043c\u0423\u0417\u042b\u041a\u0410\\solvane.SCR /p 12", own),
        L"/p 12");
    // The program as it runs here, started with its path unquoted.
    const std::vector<std::wstring> paths = ownProgramPaths();
    ASSERT_FALSE(paths.empty());
    for (const std::wstring& path : paths) {
        EXPECT_EQ(argumentsOf(path + L"  /c:5678"), L"/c:5678");
    }
}

TEST(CommandLineTest, RequestLetterIsTheSecondCharacterUpperCased) {
    EXPECT_EQ(requestLetter(L"/s"), L"S");
    EXPECT_EQ(requestLetter(L"/S"), L"S");
    EXPECT_EQ(requestLetter(L"-s"), L"S");
    EXPECT_EQ(requestLetter(L"/p 1234"), L"P");
    EXPECT_EQ(requestLetter(L"/P:1234"), L"P");
    EXPECT_EQ(requestLetter(L"/c:5678"), L"C");
    EXPECT_EQ(requestLetter(L"-C"), L"C");
    EXPECT_EQ(requestLetter(L"/a"), L"A");
    EXPECT_EQ(requestLetter(L"s"), L"");
    EXPECT_EQ(requestLetter(L"/"), L"");
    EXPECT_EQ(requestLetter(L""), L"");
    EXPECT_EQ(requestLetter(L"xsave"), L"S");
}

TEST(CommandLineTest, HostHandleIsReadFromTheFourthCharacter) {
    EXPECT_EQ(hostHandleOf(L"/p 1234"), 1234);
    EXPECT_EQ(hostHandleOf(L"/P:1234"), 1234);
    EXPECT_EQ(hostHandleOf(L"-p 1234"), 1234);
    EXPECT_EQ(hostHandleOf(L"/p1234"), 234) << "the third character is skipped whatever it is";
    EXPECT_EQ(hostHandleOf(L"/p"), 0);
    EXPECT_EQ(hostHandleOf(L"/p "), 0);
    EXPECT_EQ(hostHandleOf(L"/p abc"), 0);
    EXPECT_EQ(hostHandleOf(L"/p 12 34"), 1234) << "blanks inside are ignored";
    EXPECT_EQ(hostHandleOf(L"/p \t1\n2\t3"), 123);
    EXPECT_EQ(hostHandleOf(L"/p 99x12"), 99);
    EXPECT_EQ(hostHandleOf(L"/p -42"), -42);
    EXPECT_EQ(hostHandleOf(L"/p 2147483647"), 2147483647);
    EXPECT_EQ(hostHandleOf(L"/p -2147483648"), -2147483647 - 1);
}

TEST(CommandLineTest, HostHandleRoundsHalfToEvenAndRefusesWhatLeaves32Bits) {
    EXPECT_EQ(hostHandleOf(L"/p 12.5"), 12);
    EXPECT_EQ(hostHandleOf(L"/p 13.5"), 14);
    EXPECT_EQ(hostHandleOf(L"/p 13.49"), 13);
    EXPECT_EQ(hostHandleOf(L"/p 1e3"), 1000);
    EXPECT_EQ(hostHandleOf(L"/p 1e"), 1);
    EXPECT_EQ(hostHandleOf(L"/p 2147483648"), 0);
    EXPECT_EQ(hostHandleOf(L"/p 99999999999999999999"), 0);
    EXPECT_EQ(hostHandleOf(L"/p 1e400"), 0);
    EXPECT_EQ(hostHandleOf(L"/p 1.2.3"), 1);
}

} // namespace
} // namespace solvane
