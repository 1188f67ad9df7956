#include "button/caption_label.h"

#include "button/ole_colour.h"
#include "forms/gdi.h"
#include "forms/twips.h"

#include <cmath>

namespace solvane {

RECT CaptionLabel::pixelBox() const {
    const double x = twipsPerPixelX();
    const double y = twipsPerPixelY();
    const auto left = static_cast<LONG>(std::lround(box.left / x));
    const auto top = static_cast<LONG>(std::lround(box.top / y));
    return {left, top, left + static_cast<LONG>(std::lround(box.width / x)),
            top + static_cast<LONG>(std::lround(box.height / y))};
}

void CaptionLabel::paint(HDC dc) const {
    const Selection selectedFont(dc, font != nullptr ? font->handle() : GetStockObject(DEFAULT_GUI_FONT));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT area = pixelBox();
    COLORREF previousColour = 0;
    if (enabled) {
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
