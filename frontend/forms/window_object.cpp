#include "forms/window_object.h"

#include "winutils/window_owner.h"

namespace solvane {

WindowObject::~WindowObject() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool WindowObject::createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x,
                                int y, int width, int height, HWND parent) {
    return CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, nullptr,
                           GetModuleHandleW(nullptr), this) != nullptr;
}

LRESULT WindowObject::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowObject::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowOwner<WindowObject, WindowLifetime::borrowed> object(window, message, lParam, &WindowObject::window_);
    if (!object) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        object->onPaint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        object->onPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_CREATE:
        object->onCreate();
        return 0;
    case WM_NCDESTROY:
        object->onDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return object->onMessage(message, wParam, lParam);
    }
}

} // namespace solvane
