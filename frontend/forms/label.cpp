#include "forms/label.h"

#include "forms/gdi.h"

namespace solvane {

UINT Label::formatFlags() const {
    UINT flags = DT_NOPREFIX | (align_ == Align::Centre ? DT_CENTER : DT_LEFT);
    return flags | (wrap_ ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE);
}

void Label::fitToText(HDC dc) {
    RECT measured{0, 0, 0, 0};
    {
        const Selection font(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    bounds_.right = bounds_.left + measured.right;
    bounds_.bottom = bounds_.top + measured.bottom;
}

void Label::paint(HDC dc, COLORREF colour) const {
    const Selection font(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, colour);
    RECT area = bounds_;
    if (border_) {
        drawOutline(dc, area, colour);
        InflateRect(&area, -2, -2);
    }
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area, formatFlags());
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
}

} // namespace solvane
