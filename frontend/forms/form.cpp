#include "forms/form.h"

#include "forms/gdi.h"
#include "forms/twips.h"
#include "forms/window_class.h"
#include "winutils/system_function.h"

namespace solvane {

namespace {

// The frame around a client area, at the form's dots per inch where the
// system can say (Windows 10 1607 and later).
void adjustFrame(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        systemFunction<decltype(AdjustWindowRectExForDpi)>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (forDpi == nullptr || !forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

} // namespace

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
    const bool made = createWindow(exStyle, className, caption, style, 0, 0, 0, 0, parent);
    scale_ = windowScale(window());
    return made;
}

void Form::moveTwips(int left, int top, int width, int height) {
    MoveWindow(window(), scale_.pixelsX(left), scale_.pixelsY(top), scale_.pixelsX(width), scale_.pixelsY(height),
               TRUE);
}

void Form::setClientSizeTwips(int width, int height) {
    RECT outer{0, 0, scale_.pixelsX(width), scale_.pixelsY(height)};
    adjustFrame(outer, static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_EXSTYLE)), scale_.dpiY());
    SetWindowPos(window(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::show() { ShowWindow(window(), SW_SHOW); }

} // namespace solvane
