// The owners of kernel handles and loaded modules: each handle is closed
// once, by its last owner, and a failed call's answer owns nothing.
#include "winutils/handle_owner.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <utility>

namespace solvane {
namespace {

bool open(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE newEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

TEST(HandleOwnerTest, TheLastOwnerClosesTheHandleOnce) {
    HANDLE first = nullptr;
    HANDLE second = nullptr;
    {
        OwnedHandle kept;
        {
            OwnedHandle made(newEvent());
            first = made.get();
            ASSERT_TRUE(made);
            kept = std::move(made);
        }
        EXPECT_TRUE(open(first)) << "the handle went over to its new owner";
        EXPECT_EQ(kept.get(), first);

        OwnedHandle other(newEvent());
        second = other.get();
        other = std::move(kept);
        EXPECT_EQ(other.get(), first);
        EXPECT_TRUE(open(second)) << "the replaced handle is closed with the owner it went to";
        EXPECT_EQ(kept.get(), second);
    }
    EXPECT_FALSE(open(first));
    EXPECT_FALSE(open(second));
}

TEST(HandleOwnerTest, AFailedCallsAnswerOwnsNothing) {
    const OwnedHandle none(CreateFileW(L"C:\\solvane-no-such-folder\\no-such-file", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(none) << "INVALID_HANDLE_VALUE is no handle";
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_FALSE(OwnedHandle(nullptr));
    EXPECT_FALSE(OwnedModule(LoadLibraryW(L"solvane-no-such-module.dll")));
}

TEST(HandleOwnerTest, ALoadedModuleIsFreedWithItsOwner) {
    // A system module this test does not import.
    constexpr wchar_t name[] = L"cabinet.dll";
    ASSERT_EQ(GetModuleHandleW(name), nullptr);
    {
        const OwnedModule module(LoadLibraryW(name));
        ASSERT_TRUE(module);
        EXPECT_EQ(GetModuleHandleW(name), module.get());
    }
    EXPECT_EQ(GetModuleHandleW(name), nullptr);
}

} // namespace
} // namespace solvane
