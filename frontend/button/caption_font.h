#pragma once

#include "forms/gdi.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solvane {

// The whole of a font as it is stored: face, size, weight, style, character set.
struct FontDescription {
    std::wstring face;
    double points = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    BYTE charset = DEFAULT_CHARSET;

    bool operator==(const FontDescription&) const = default;
};

// "ＭＳ Ｐゴシック", 9.75 point, weight 400, Shift-JIS: the button's own font.
FontDescription buttonFontDescription();

// An immutable font object shared by reference between a button and whoever
// handed it over; its GDI fonts, one for each dots-per-inch value asked for,
// live as long as the last holder.
class CaptionFont {
public:
    explicit CaptionFont(FontDescription description);

    const FontDescription& description() const { return description_; }
    HFONT handle(int dpi) const;

private:
    FontDescription description_;
    LOGFONTW font_{};
    mutable std::vector<std::pair<int, OwnedFont>> made_;
};

using FontRef = std::shared_ptr<const CaptionFont>;

FontRef makeFont(FontDescription description);

// Stored form: "face;points;weight;charset;italic;underline;strikethrough",
// the flags as 0 or 1. The face may itself hold ';': the six numbers are
// taken from the right. Anything else is no font.
std::wstring formatFont(const FontDescription& description);
std::optional<FontDescription> parseFont(std::wstring_view text);

} // namespace solvane
