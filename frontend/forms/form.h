#pragma once

#include "forms/twips.h"

#include <windows.h>

namespace solvane {

// A top-level window of the front end: geometry in twips, windowless
// controls painted by the form, one small handler a message.
class Form {
public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window, not shown (a child of `parent` when one is given).
    // False when it cannot be made.
    bool create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, COLORREF background,
                HWND parent = nullptr, HICON icon = nullptr);

    HWND window() const { return window_; }

    // The scale its twips are laid out at: its monitor's when it is made,
    // then whatever the form is told.
    const TwipsScale& scale() const { return scale_; }
    void setScale(const TwipsScale& scale) { scale_ = scale; }

    // Moves and sizes the window in twips, converted at the form's scale.
    void moveTwips(int left, int top, int width, int height);

    // Sizes the window so that its client area is that many twips.
    void setClientSizeTwips(int width, int height);

    void show();

protected:
    virtual void onPaint(HDC) {}
    virtual void onCreate() {}
    virtual void onDestroy() {}
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    TwipsScale scale_;
};

} // namespace solvane
