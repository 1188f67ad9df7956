#include "button/caption_label.h"

#include "button/ole_colour.h"
#include "forms/gdi.h"

namespace solvane {

RECT CaptionLabel::pixelBox() const {
    const LONG left = scale.pixelsX(box.left);
    const LONG top = scale.pixelsY(box.top);
    return {left, top, left + scale.pixelsX(box.width), top + scale.pixelsY(box.height)};
}

void CaptionLabel::paint(HDC dc) const {
    const Selection selectedFont(dc, font != nullptr ? font->handle(scale.dpiY()) : GetStockObject(DEFAULT_GUI_FONT));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT area = pixelBox();
    COLORREF previousColour = 0;
    if (contrastColour) {
        previousColour = SetTextColor(dc, *contrastColour);
    } else if (enabled) {
        previousColour = SetTextColor(dc, resolveColour(colour).value_or(RGB(0, 0, 0)));
    } else {
        // Engraved, as disabled texts of the platform are drawn.
        RECT shadow = area;
        OffsetRect(&shadow, 1, 1);
        previousColour = SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area, format);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
}

} // namespace solvane
