#include "forms/font.h"

#include <cmath>

namespace solvane {

OwnedFont makeFontAt(LOGFONTW description, double points, int dpi) {
    description.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    return OwnedFont(CreateFontIndirectW(&description));
}

Font::Font(const std::wstring& face, double points, int weight, BYTE charset, int dpi) {
    LOGFONTW description{};
    description.lfWeight = weight;
    description.lfCharSet = charset;
    description.lfQuality = DEFAULT_QUALITY;
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    font_ = makeFontAt(description, points, dpi);
}

Font dialogFont(int dpi) {
    return Font(L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9.75, FW_NORMAL, SHIFTJIS_CHARSET, dpi);
}

} // namespace solvane
