#pragma once

#include "forms/gdi.h"

#include <windows.h>

#include <string>

namespace solvane {

// A font `points` high at `dpi` logical pixels per inch; the rest of the
// description as given.
OwnedFont makeFontAt(LOGFONTW description, double points, int dpi);

// A GDI font owned for the life of its forms.
class Font {
public:
    // Face, size in points at `dpi`, weight, character set.
    Font(const std::wstring& face, double points, int weight, BYTE charset, int dpi);

    HFONT handle() const { return font_.get(); }

private:
    OwnedFont font_;
};

// The face of the front end's texts at `dpi`: "ＭＳ Ｐゴシック" 9.75 point,
// regular, Shift-JIS.
Font dialogFont(int dpi);

} // namespace solvane
