#pragma once

// A window's accessible objects as a screen reader gets them: through
// oleacc's AccessibleObjectFromWindow and AccessibleChildren, from this
// process or from another.
#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solvane::reader {

struct Element {
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring value;
    std::wstring defaultAction;
    std::vector<Element> children;
};

// The tree under the client area of `window`; nothing when the window
// gives no object.
std::optional<Element> readTree(HWND window);

// One line an element, indented by depth: role, "name", state words, and
// "= value" where it has one.
std::wstring describe(const Element& element, int depth = 0);

// The role in words ("push button").
std::wstring roleWord(long role);

// An element found in the live tree: its object and child identifier.
struct Found {
    Microsoft::WRL::ComPtr<IAccessible> object;
    VARIANT child{};
};

// The first element under the client area of `window`, depth first, with
// this role and name.
std::optional<Found> find(HWND window, long role, std::wstring_view name);

// The element's default action, as a reader performs it.
HRESULT doDefaultAction(HWND window, long role, std::wstring_view name);

} // namespace solvane::reader
