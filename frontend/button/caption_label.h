#pragma once

#include "button/caption_font.h"
#include "forms/twips.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace solvane {

// The button's windowless caption: transparent, text centred across its
// box, geometry in twips; a disabled caption is drawn greyed.
class CaptionLabel {
public:
    struct Box {
        double left = 0;
        double top = 90;
        double width = 1635;
        double height = 195;
    };

    std::wstring caption = L"Command";
    FontRef font;
    std::uint32_t colour = 0; // checked by the button before it is stored
    bool enabled = true;
    // Set while the face is painted in high contrast: the text is drawn flat
    // in this colour, enabled or not.
    std::optional<COLORREF> contrastColour;
    Box box;
    TwipsScale scale; // the button's

    // The box in pixels at the scale.
    RECT pixelBox() const;

    void paint(HDC dc) const;
};

} // namespace solvane
