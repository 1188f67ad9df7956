#pragma once

#include <windows.h>

#include <string>

namespace solvane {

// A windowless label drawn by its parent: transparent, so the parent's
// painting shows through; sized to its text unless told otherwise.
class Label {
public:
    enum class Align { Left, Centre };

    Label() = default;
    Label(int left, int top, int width, int height) { place(left, top, width, height); }

    void place(int left, int top, int width, int height) { bounds_ = {left, top, left + width, top + height}; }

    void setText(std::wstring text) { text_ = std::move(text); }
    const std::wstring& text() const { return text_; }
    void setFont(HFONT font) { font_ = font; }
    void setColour(COLORREF colour) { colour_ = colour; }
    void setAlign(Align align) { align_ = align; }
    void setBorder(bool border) { border_ = border; }
    void setWordWrap(bool wrap) { wrap_ = wrap; }

    // Sizes the label to its text on one line, keeping its top-left corner.
    void fitToText(HDC dc);

    const RECT& bounds() const { return bounds_; }
    bool contains(POINT point) const { return PtInRect(&bounds_, point) != 0; }

    void paint(HDC dc) const { paint(dc, colour_); }
    // Text and border in `colour` instead of the label's own.
    void paint(HDC dc, COLORREF colour) const;

private:
    UINT formatFlags() const;

    RECT bounds_{};
    std::wstring text_;
    HFONT font_ = nullptr;
    COLORREF colour_ = RGB(0, 0, 0);
    Align align_ = Align::Left;
    bool border_ = false;
    bool wrap_ = false;
};

} // namespace solvane
