#pragma once

#include <windows.h>

namespace solvane {

// A window class of this program's module.
struct WindowClass {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HCURSOR cursor = nullptr;    // none: the window sets its own
    HBRUSH background = nullptr; // none: the window paints its own
    HICON icon = nullptr;
};

enum class Registration { Registered, AlreadyRegistered, Failed };

// Registers the class once per process; a later window of the same name
// gets the class as first registered, its brush and icon included.
Registration registerWindowClass(const WindowClass& windowClass);

// The platform's standard arrow.
HCURSOR arrowCursor();

} // namespace solvane
