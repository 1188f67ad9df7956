#pragma once

#include "gdi.h"

#include <windows.h>

#include <string>

namespace solvane {

// A font `points` high at the screen's dots per inch; the rest of the
// description as given.
OwnedFont makeScreenFont(LOGFONTW description, double points);

// A GDI font owned for the life of its forms.
class Font {
public:
    // Face, size in points (at the screen's dots per inch), weight, character set.
    Font(const std::wstring& face, double points, int weight, BYTE charset);

    HFONT handle() const { return font_.get(); }

private:
    OwnedFont font_;
};

// The face of the front end's texts: "ＭＳ Ｐゴシック" 9.75 point, regular,
// Shift-JIS.
const Font& dialogFont();

} // namespace solvane
