#include "button/caption_font.h"

#include "forms/font.h"
#include "rules/text_rules.h"

#include <cwchar>
#include <vector>

namespace solvane {

namespace {

constexpr std::size_t numberFields = 6;

} // namespace

FontDescription buttonFontDescription() {
    return {L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9.75, FW_NORMAL, false, false, false, SHIFTJIS_CHARSET};
}

CaptionFont::CaptionFont(FontDescription description) : description_(std::move(description)) {
    font_.lfWeight = description_.weight;
    font_.lfItalic = description_.italic;
    font_.lfUnderline = description_.underline;
    font_.lfStrikeOut = description_.strikethrough;
    font_.lfCharSet = description_.charset;
    description_.face.copy(font_.lfFaceName, LF_FACESIZE - 1);
}

HFONT CaptionFont::handle(int dpi) const {
    for (const auto& [madeAt, font] : made_) {
        if (madeAt == dpi) {
            return font.get();
        }
    }
    made_.emplace_back(dpi, makeFontAt(font_, description_.points, dpi));
    return made_.back().second.get();
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
    const std::optional<double> points = fontPointsFrom(fields[0]);
    const std::optional<int> weight = fontFieldFrom(fields[1], 0, 1000);
    const std::optional<int> charset = fontFieldFrom(fields[2], 0, 255);
    const std::optional<int> italic = fontFieldFrom(fields[3], 0, 1);
    const std::optional<int> underline = fontFieldFrom(fields[4], 0, 1);
    const std::optional<int> strike = fontFieldFrom(fields[5], 0, 1);
    if (d.face.empty() || d.face.size() >= LF_FACESIZE || !points || !weight || !charset || !italic || !underline ||
        !strike) {
        return std::nullopt;
    }
    d.points = *points;
    d.weight = *weight;
    d.charset = static_cast<BYTE>(*charset);
    d.italic = *italic != 0;
    d.underline = *underline != 0;
    d.strikethrough = *strike != 0;
    return d;
}

} // namespace solvane
