#include "button/command.h"
#include "dialog_layout.h"
#include "forms/high_contrast.h"
#include "forms/twips.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace solvane {

namespace {

// Frame and skin geometry in twips.
constexpr int frame = layout::skinFrame;
constexpr int skinRight = 900;  // left of the skin's right-hand pieces
constexpr int skinBottom = 315; // top of its bottom pieces
constexpr int edgeRun = 840;    // the skin's middle run across
constexpr int sideRun = 255;    // and down
constexpr int captionGap = 20;  // the caption sits 10 twips above the middle

struct Piece {
    int left, top, width, height; // on the face
    int sourceLeft, sourceTop, sourceWidth, sourceHeight;
};

bool fits16(long value) {
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// The "&HRRGGBB" texts give red, green, blue from left to right, each pair
// in the high byte of its channel.
TRIVERTEX vertexColour(std::uint32_t rrggbb) {
    TRIVERTEX vertex{};
    vertex.Red = static_cast<COLOR16>(((rrggbb >> 16) & 0xFF) << 8);
    vertex.Green = static_cast<COLOR16>(((rrggbb >> 8) & 0xFF) << 8);
    vertex.Blue = static_cast<COLOR16>((rrggbb & 0xFF) << 8);
    return vertex;
}

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t lavender = 0xC6C5D7;

} // namespace

void Command::PaintFace(Skin skin) {
    lastSkin_ = skin;
    ++paintCount_;
    if (state_ == StateNormal || state_ == StateSelected) {
        gradientReversed_ = false;
    } else if (state_ == StateHighLight) {
        gradientReversed_ = true;
    }
    if (window() == nullptr || !surface_) {
        return;
    }
    RECT client{};
    GetClientRect(window(), &client);
    // High contrast: the system's colours in place of the gradient and the skins.
    const bool contrast = highContrastOn();
    if (contrast) {
        paintContrastFace(skin, client);
    } else {
        LblMsg.contrastColour.reset();
        HBRUSH background = CreateSolidBrush(backgroundColour);
        FillRect(surface_.dc(), &client, background);
        DeleteObject(background);
        PaintGradient();
    }

    const double x = scale_.twipsPerPixelX();
    const double y = scale_.twipsPerPixelY();
    const long w = std::lround(client.right * x);
    const long h = std::lround(client.bottom * y);
    // The geometry is 16-bit: a face too large for it gets no frame and no
    // caption placement.
    if (!fits16(w) || !fits16(h)) {
        refresh();
        return;
    }
    const int W = static_cast<int>(w);
    const int H = static_cast<int>(h);
    const Piece pieces[] = {
        {1, 1, frame, frame, 0, 0, frame, frame},
        {frame, 1, W - 2 * frame, frame, frame, 1, edgeRun, frame},
        {W - frame, 1, frame, frame, skinRight, 1, frame, frame},
        {W - frame, frame, frame, H - 2 * frame, skinRight, frame, frame, sideRun},
        {W - frame, H - frame, frame, frame, skinRight, skinBottom, frame, frame},
        {frame, H - frame, W - 2 * frame, frame, frame, skinBottom, edgeRun, frame},
        {1, H - frame, frame, frame, 0, skinBottom, frame, frame},
        {1, frame, frame, H - 2 * frame, 1, frame, frame, sideRun},
    };
    HDC source = skins_ != nullptr && !contrast ? skins_->source(skin) : nullptr;
    if (source != nullptr) {
        SetStretchBltMode(surface_.dc(), COLORONCOLOR);
        const auto px = [](int twips, double perPixel) { return static_cast<int>(std::lround(twips / perPixel)); };
        const double sx = skins_->twipsPerPixelX(skin);
        const double sy = skins_->twipsPerPixelY(skin);
        for (const Piece& p : pieces) {
            // Below 8 pixels an edge would come out mirrored over the corners.
            if (p.width <= 0 || p.height <= 0) {
                continue;
            }
            StretchBlt(surface_.dc(), px(p.left, x), px(p.top, y), px(p.width, x), px(p.height, y), source,
                       px(p.sourceLeft, sx), px(p.sourceTop, sy), px(p.sourceWidth, sx), px(p.sourceHeight, sy),
                       SRCCOPY);
        }
    }
    refresh();
    LblMsg.box.top = (H - LblMsg.box.height - captionGap) / 2;
    LblMsg.box.left = 0;
    LblMsg.box.width = W;
    labelChanged();
}

// The face in the system's colours: a frame in the text colour, two pixels
// wide while hovered; the focused button in the highlight colours with a
// dotted focus rectangle, the pressed one inverted, the disabled one greyed.
void Command::paintContrastFace(Skin skin, const RECT& client) {
    const bool focused = enabled() && GetFocus() == window();
    int face = focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
    int text = focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
    if (skin == Skin::Disable) {
        face = COLOR_BTNFACE;
        text = COLOR_GRAYTEXT;
    } else if (skin == Skin::Pressed) {
        std::swap(face, text);
    }
    HDC dc = surface_.dc();
    FillRect(dc, &client, GetSysColorBrush(face));
    const int frameWidth = skin == Skin::HighLight || skin == Skin::HighLightSelect ? 2 : 1;
    RECT frame = client;
    for (int ring = 0; ring < frameWidth; ++ring) {
        FrameRect(dc, &frame, GetSysColorBrush(text));
        InflateRect(&frame, -1, -1);
    }
    if (focused) {
        drawFocusRectangle(dc, {client.left + 3, client.top + 3, client.right - 3, client.bottom - 3},
                           GetSysColor(text));
    }
    LblMsg.contrastColour = GetSysColor(text);
}

void Command::PaintGradient() {
    if (window() == nullptr || !surface_) {
        return;
    }
    RECT client{};
    GetClientRect(window(), &client);
    const auto first = vertexColour(gradientReversed_ ? lavender : white);
    const auto second = vertexColour(gradientReversed_ ? white : lavender);
    vertices_[0] = first;
    vertices_[0].x = 0;
    vertices_[0].y = 0;
    vertices_[1] = second;
    vertices_[1].x = client.right - 1;
    vertices_[1].y = client.bottom - 1;
    gradientRect_.UpperLeft = 1;
    gradientRect_.LowerRight = 0;
    GradientFill(surface_.dc(), vertices_, 2, &gradientRect_, 1, GRADIENT_FILL_RECT_V);
    refresh();
}

void Command::refresh() {
    if (window() != nullptr) {
        InvalidateRect(window(), nullptr, FALSE);
        UpdateWindow(window());
    }
}

void Command::ApplyEnabledLook() {
    const bool on = enabled();
    PaintFace(on ? Skin::Normal : Skin::Disable);
    LblMsg.enabled = on;
    labelChanged();
}

void Command::systemLookChanged() {
    if (paintCount_ != 0) {
        PaintFace(lastSkin_);
    }
}

void Command::RefreshLook() {
    if (!enabled()) {
        return;
    }
    LblMsg.enabled = true;
    if (firstRun_ == 0) {
        LblMsg.colour = 0;
    }
    PaintFace(Skin::Normal);
}

} // namespace solvane
