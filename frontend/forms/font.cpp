#include "font.h"

#include "twips.h"

#include <cmath>

namespace solvane {

OwnedFont makeScreenFont(LOGFONTW description, double points) {
    description.lfHeight = -static_cast<LONG>(std::lround(points * screenPixelsPerInch(LOGPIXELSY) / 72.0));
    return OwnedFont(CreateFontIndirectW(&description));
}

Font::Font(const std::wstring& face, double points, int weight, BYTE charset) {
    LOGFONTW description{};
    description.lfWeight = weight;
    description.lfCharSet = charset;
    description.lfQuality = DEFAULT_QUALITY;
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    font_ = makeScreenFont(description, points);
}

const Font& dialogFont() {
    static const Font font(L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9.75, FW_NORMAL, SHIFTJIS_CHARSET);
    return font;
}

} // namespace solvane
