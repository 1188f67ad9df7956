#include "font.h"

#include <cmath>

namespace solvane {

Font::Font(const std::wstring& face, double points, int weight, BYTE charset) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW description{};
    description.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    description.lfWeight = weight;
    description.lfCharSet = charset;
    description.lfQuality = DEFAULT_QUALITY;
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&description);
}

Font::~Font() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

const Font& dialogFont() {
    static const Font font(L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9.75, FW_NORMAL, SHIFTJIS_CHARSET);
    return font;
}

} // namespace solvane
