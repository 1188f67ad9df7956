// The one way an object is tied to its window: who frees it and when, for
// wide and ANSI windows alike, also when the window fails to be made.
#include "winutils/window_owner.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace solvane {
namespace {

// What a test sees of its object's life: the messages it was handed and how
// often it was freed.
struct Record {
    std::vector<UINT> messages;
    int freed = 0;
};

// Asks the object behind a window for its own address.
constexpr UINT whoAreYou = WM_APP + 1;

class Tracked {
public:
    explicit Tracked(Record& record) : record_(record) {}
    ~Tracked() { ++record_.freed; }
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;

    // The creation step the object refuses (WM_NCCREATE or WM_CREATE), 0 for none.
    UINT refuse = 0;
    HWND window = nullptr;

    LRESULT onMessage(UINT message) {
        record_.messages.push_back(message);
        if (message == whoAreYou) {
            return reinterpret_cast<LRESULT>(this);
        }
        if (message == refuse) {
            return message == WM_CREATE ? -1 : FALSE;
        }
        return handled;
    }
    static constexpr LRESULT handled = -2; // to the default procedure

private:
    Record& record_;
};

template <WindowLifetime lifetime, bool ansi>
LRESULT CALLBACK trackedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowOwner<Tracked, lifetime> tracked(window, message, lParam, &Tracked::window);
    if (tracked) {
        if (const LRESULT result = tracked->onMessage(message); result != Tracked::handled) {
            return result;
        }
    }
    return ansi ? DefWindowProcA(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

// A class of either form whose procedure is `procedure`.
template <typename Description, typename Char>
ATOM registerClass(ATOM(WINAPI* registration)(const Description*), WNDPROC procedure, const Char* name) {
    Description description{};
    description.lpfnWndProc = procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = name;
    return registration(&description);
}

// A window of a class of its own for each lifetime and form, registered once
// a process; `parameter` is its creation parameter.
template <WindowLifetime lifetime, bool ansi>
HWND makeWindow(void* parameter) {
    static const std::string name =
        std::string(lifetime == WindowLifetime::owned ? "Owned" : "Borrowed") + (ansi ? "AnsiWindow" : "WideWindow");
    static const std::wstring wideName(name.begin(), name.end());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if constexpr (ansi) {
        static const ATOM registered = registerClass(RegisterClassA, trackedProc<lifetime, ansi>, name.c_str());
        EXPECT_NE(registered, 0);
        return CreateWindowExA(0, name.c_str(), "tracked", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                               parameter);
    } else {
        static const ATOM registered = registerClass(RegisterClassW, trackedProc<lifetime, ansi>, wideName.c_str());
        EXPECT_NE(registered, 0);
        return CreateWindowExW(0, wideName.c_str(), L"tracked", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                               parameter);
    }
}

template <bool ansi>
HWND openOwned(std::unique_ptr<Tracked>& opener) {
    return makeWindow<WindowLifetime::owned, ansi>(&opener);
}

template <bool ansi>
HWND openBorrowed(Tracked& object) {
    return makeWindow<WindowLifetime::borrowed, ansi>(&object);
}

template <bool ansi>
void ownedObjectIsFreedOnceAfterTheWindowsLastMessage() {
    Record record;
    auto opener = std::make_unique<Tracked>(record);
    Tracked* object = opener.get();
    HWND window = openOwned<ansi>(opener);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(opener, nullptr) << "the window took the object over";
    EXPECT_EQ(SendMessageW(window, whoAreYou, 0, 0), reinterpret_cast<LRESULT>(object));
    EXPECT_EQ(object->window, window);
    EXPECT_EQ(record.freed, 0);

    DestroyWindow(window);
    EXPECT_EQ(record.freed, 1);
    ASSERT_FALSE(record.messages.empty());
    EXPECT_EQ(record.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(record.messages.back(), static_cast<UINT>(WM_NCDESTROY)) << "freed only once it was handled";
}

TEST(WindowOwnerTest, AnOwnedObjectIsFreedOnceAfterTheWindowsLastMessage) {
    ownedObjectIsFreedOnceAfterTheWindowsLastMessage<false>();
    ownedObjectIsFreedOnceAfterTheWindowsLastMessage<true>();
}

template <bool ansi>
void ownedObjectOfAFailedWindowIsFreedOnce() {
    for (const UINT step : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_CREATE)}) {
        Record record;
        auto opener = std::make_unique<Tracked>(record);
        opener->refuse = step;
        EXPECT_EQ(openOwned<ansi>(opener), nullptr);
        EXPECT_EQ(opener, nullptr);
        EXPECT_EQ(record.freed, 1) << (ansi ? "ANSI" : "wide") << " window refused at message " << step;
    }
}

TEST(WindowOwnerTest, AnOwnedObjectWhoseWindowFailsToBeMadeIsFreedOnce) {
    ownedObjectOfAFailedWindowIsFreedOnce<false>();
    ownedObjectOfAFailedWindowIsFreedOnce<true>();
}

template <bool ansi>
void borrowedObjectIsDetachedAndNeverFreed() {
    Record record;
    Tracked object(record);
    HWND window = openBorrowed<ansi>(object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(object.window, window);
    EXPECT_EQ(SendMessageW(window, whoAreYou, 0, 0), reinterpret_cast<LRESULT>(&object));

    DestroyWindow(window);
    EXPECT_EQ(record.freed, 0);
    EXPECT_EQ(object.window, nullptr) << "the object names no window that is gone";
    EXPECT_EQ(record.messages.back(), static_cast<UINT>(WM_NCDESTROY));

    // Refused at creation: still the object's, and it names no window.
    object.refuse = WM_CREATE;
    EXPECT_EQ(openBorrowed<ansi>(object), nullptr);
    EXPECT_EQ(record.freed, 0);
    EXPECT_EQ(object.window, nullptr);
}

TEST(WindowOwnerTest, ABorrowedObjectIsDetachedWithItsWindowAndNeverFreed) {
    borrowedObjectIsDetachedAndNeverFreed<false>();
    borrowedObjectIsDetachedAndNeverFreed<true>();
}

// Messages after WM_NCDESTROY find no object: an owned object is gone by
// then, and it is freed once however the window ends after it.
TEST(WindowOwnerTest, MessagesAfterTheLastFindNoObject) {
    Record record;
    auto opener = std::make_unique<Tracked>(record);
    HWND window = openOwned<false>(opener);
    ASSERT_NE(window, nullptr);
    const std::size_t seen = record.messages.size();
    // What ends the object, without ending the window yet.
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    EXPECT_EQ(record.freed, 1);
    EXPECT_EQ(SendMessageW(window, whoAreYou, 0, 0), 0);
    DestroyWindow(window);
    EXPECT_EQ(record.freed, 1);
    EXPECT_EQ(record.messages.size(), seen + 1);

    // Made without an object: none, for either lifetime.
    HWND owned = makeWindow<WindowLifetime::owned, false>(nullptr);
    HWND borrowed = makeWindow<WindowLifetime::borrowed, true>(nullptr);
    ASSERT_NE(owned, nullptr);
    ASSERT_NE(borrowed, nullptr);
    EXPECT_EQ(SendMessageW(owned, whoAreYou, 0, 0), 0);
    EXPECT_EQ(SendMessageW(borrowed, whoAreYou, 0, 0), 0);
    DestroyWindow(owned);
    DestroyWindow(borrowed);
}

} // namespace
} // namespace solvane
