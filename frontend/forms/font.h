#pragma once

#include <windows.h>

#include <string>

namespace solvane {

// A GDI font owned for the life of its forms.
class Font {
public:
    // Face, size in points (at the screen's dots per inch), weight, character set.
    Font(const std::wstring& face, double points, int weight, BYTE charset);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT handle() const { return font_; }

private:
    HFONT font_ = nullptr;
};

// The face of the front end's texts: "ＭＳ Ｐゴシック" 9.75 point, regular,
// Shift-JIS.
const Font& dialogFont();

} // namespace solvane
