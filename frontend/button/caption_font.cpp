#include "button/caption_font.h"

#include <cmath>
#include <cwchar>
#include <vector>

namespace solvane {

FontDescription buttonFontDescription() {
    return {L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9.75, FW_NORMAL, false, false, false, SHIFTJIS_CHARSET};
}

CaptionFont::CaptionFont(FontDescription description) : description_(std::move(description)) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(description_.points * dpi / 72.0));
    font.lfWeight = description_.weight;
    font.lfItalic = description_.italic;
    font.lfUnderline = description_.underline;
    font.lfStrikeOut = description_.strikethrough;
    font.lfCharSet = description_.charset;
    description_.face.copy(font.lfFaceName, LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&font);
}

CaptionFont::~CaptionFont() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

FontRef makeFont(FontDescription description) { return std::make_shared<const CaptionFont>(std::move(description)); }

std::wstring formatFont(const FontDescription& d) {
    // %g is the stream's default for a double: six significant digits.
    // Formatted by hand, as the locale-aware streams would pull the whole
    // locale library into the program.
    wchar_t numbers[96];
    std::swprintf(numbers, sizeof numbers / sizeof numbers[0], L";%g;%d;%d;%d;%d;%d", d.points, d.weight,
                  static_cast<int>(d.charset), d.italic ? 1 : 0, d.underline ? 1 : 0, d.strikethrough ? 1 : 0);
    return d.face + numbers;
}

namespace {

constexpr std::size_t numberFields = 6;

bool parseNumber(const std::wstring& field, double& value) {
    if (field.empty()) {
        return false;
    }
    wchar_t* end = nullptr;
    value = std::wcstod(field.c_str(), &end);
    return *end == L'\0' && std::isfinite(value);
}

bool parseWhole(const std::wstring& field, long low, long high, long& value) {
    double number = 0;
    if (!parseNumber(field, number) || number != std::floor(number) || number < low || number > high) {
        return false;
    }
    value = static_cast<long>(number);
    return true;
}

} // namespace

std::optional<FontDescription> parseFont(std::wstring_view text) {
    std::vector<std::wstring> fields;
    std::wstring rest(text);
    for (std::size_t i = 0; i < numberFields; ++i) {
        const auto cut = rest.rfind(L';');
        if (cut == std::wstring::npos) {
            return std::nullopt;
        }
        fields.insert(fields.begin(), rest.substr(cut + 1));
        rest.resize(cut);
    }
    FontDescription d;
    d.face = rest;
    long weight = 0, charset = 0, italic = 0, underline = 0, strike = 0;
    // A size of 0 or less, or past what GDI can make, is no font.
    if (d.face.empty() || d.face.size() >= LF_FACESIZE || !parseNumber(fields[0], d.points) || d.points <= 0 ||
        d.points > 1638 || !parseWhole(fields[1], 0, 1000, weight) || !parseWhole(fields[2], 0, 255, charset) ||
        !parseWhole(fields[3], 0, 1, italic) || !parseWhole(fields[4], 0, 1, underline) ||
        !parseWhole(fields[5], 0, 1, strike)) {
        return std::nullopt;
    }
    d.weight = static_cast<int>(weight);
    d.charset = static_cast<BYTE>(charset);
    d.italic = italic != 0;
    d.underline = underline != 0;
    d.strikethrough = strike != 0;
    return d;
}

} // namespace solvane
