#include "label.h"

namespace solvane {

UINT Label::formatFlags() const {
    UINT flags = DT_NOPREFIX | (align_ == Align::Centre ? DT_CENTER : DT_LEFT);
    return flags | (wrap_ ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE);
}

void Label::fitToText(HDC dc) {
    HGDIOBJ previous = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    bounds_.right = bounds_.left + measured.right;
    bounds_.bottom = bounds_.top + measured.bottom;
}

void Label::paint(HDC dc) const {
    HGDIOBJ previousFont = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, colour_);
    RECT area = bounds_;
    if (border_) {
        HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        HGDIOBJ previousPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, area.left, area.top, area.right, area.bottom);
        SelectObject(dc, previousPen);
        SelectObject(dc, previousBrush);
        InflateRect(&area, -2, -2);
    }
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area, formatFlags());
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);
}

} // namespace solvane
