#include "forms/form.h"

#include "forms/gdi.h"
#include "forms/twips.h"
#include "forms/window_class.h"
#include "forms/window_owner.h"

namespace solvane {

namespace {

using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The frame around a client area, at the form's dots per inch where the
// system can say (Windows 10 1607 and later).
void adjustFrame(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (forDpi == nullptr || !forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

} // namespace

Form::~Form() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool Form::create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, COLORREF background,
                  HWND parent, HICON icon) {
    // The brush belongs to the window class, which lives as long as the
    // process; a form of a class already registered uses that class's brush.
    OwnedGdi<HBRUSH> brush(CreateSolidBrush(background));
    if (registerWindowClass({.name = className,
                             .procedure = windowProc,
                             .cursor = arrowCursor(),
                             .background = brush.get(),
                             .icon = icon}) == Registration::Registered) {
        brush.release();
    }
    window_ = CreateWindowExW(exStyle, className, caption, style, 0, 0, 0, 0, parent, nullptr,
                              GetModuleHandleW(nullptr), this);
    scale_ = windowScale(window_);
    return window_ != nullptr;
}

void Form::moveTwips(int left, int top, int width, int height) {
    MoveWindow(window_, scale_.pixelsX(left), scale_.pixelsY(top), scale_.pixelsX(width), scale_.pixelsY(height), TRUE);
}

void Form::setClientSizeTwips(int width, int height) {
    RECT outer{0, 0, scale_.pixelsX(width), scale_.pixelsY(height)};
    adjustFrame(outer, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), scale_.dpiY());
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::show() { ShowWindow(window_, SW_SHOW); }

LRESULT Form::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Form::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = windowOwner(window, message, lParam, &Form::window_);
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        form->onPaint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        form->onPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_CREATE:
        form->onCreate();
        return 0;
    case WM_NCDESTROY:
        form->onDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return form->onMessage(message, wParam, lParam);
    }
}

} // namespace solvane
