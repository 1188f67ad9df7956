#pragma once

#include "forms/twips.h"
#include "forms/window_object.h"

#include <windows.h>

namespace solvane {

// A top-level window of the front end: geometry in twips, windowless
// controls painted by the form, one small handler a message.
class Form : public WindowObject {
public:
    // Creates the window, not shown (a child of `parent` when one is given).
    // False when it cannot be made.
    bool create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, COLORREF background,
                HWND parent = nullptr, HICON icon = nullptr);

    // The scale its twips are laid out at: its monitor's when it is made,
    // then whatever the form is told.
    const TwipsScale& scale() const { return scale_; }
    void setScale(const TwipsScale& scale) { scale_ = scale; }

    // Moves and sizes the window in twips, converted at the form's scale.
    void moveTwips(int left, int top, int width, int height);

    // Sizes the window so that its client area is that many twips.
    void setClientSizeTwips(int width, int height);

    void show();

private:
    TwipsScale scale_;
};

} // namespace solvane
