#include "forms/window_class.h"

namespace solvane {

Registration registerWindowClass(const WindowClass& windowClass) {
    WNDCLASSW description{};
    description.lpfnWndProc = windowClass.procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = windowClass.cursor;
    description.hbrBackground = windowClass.background;
    description.hIcon = windowClass.icon;
    description.lpszClassName = windowClass.name;
    if (RegisterClassW(&description) != 0) {
        return Registration::Registered;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? Registration::AlreadyRegistered : Registration::Failed;
}

HCURSOR arrowCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); } // IDC_ARROW

} // namespace solvane
