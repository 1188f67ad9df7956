// Optional system functions: found typed where the system has them, absent
// where it has not, and never a reason to load a module.
#include "winutils/system_function.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace solvane {
namespace {

TEST(SystemFunctionTest, AFunctionTheSystemHasIsFoundAndCalled) {
    const auto processId = systemFunction<decltype(GetCurrentProcessId)>(L"kernel32.dll", "GetCurrentProcessId");
    ASSERT_NE(processId, nullptr);
    EXPECT_EQ(processId(), GetCurrentProcessId());
    const auto windowScale = systemFunction<decltype(GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
    ASSERT_NE(windowScale, nullptr);
    EXPECT_GT(windowScale(GetDesktopWindow()), 0U);
}

TEST(SystemFunctionTest, AMissingFunctionReadsAsAbsent) {
    EXPECT_EQ(systemFunction<void WINAPI()>(L"user32.dll", "SolvaneNoSuchFunction"), nullptr);
    EXPECT_EQ(systemFunction<decltype(GetCurrentProcessId)>(L"solvane-no-such-module.dll", "GetCurrentProcessId"),
              nullptr);
    EXPECT_EQ(moduleFunction<decltype(GetCurrentProcessId)>(nullptr, "GetCurrentProcessId"), nullptr);
}

TEST(SystemFunctionTest, AModuleNotLoadedIsNotLoadedForIt) {
    // A system module this test does not import.
    constexpr wchar_t name[] = L"cabinet.dll";
    ASSERT_EQ(GetModuleHandleW(name), nullptr);
    EXPECT_EQ(systemFunction<void WINAPI()>(name, "GetDllVersion"), nullptr);
    EXPECT_EQ(GetModuleHandleW(name), nullptr);
}

} // namespace
} // namespace solvane
