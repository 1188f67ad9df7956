#include "button/command.h"

#include "button/ole_colour.h"
#include "contract.h"
#include "forms/window_class.h"

namespace solvane {

namespace {

constexpr auto className = contract::wide(contract::buttonClass);

} // namespace

Command::Command() { LblMsg.font = makeFont(buttonFontDescription()); }

bool Command::create(HWND parent, int left, int top, int width, int height, HMODULE module) {
    module_ = module;
    twips_ = {left, top, width, height};
    scale_ = windowScale(parent);
    LblMsg.scale = scale_;
    skins_ = std::make_unique<SkinSet>(module_, scale_);
    registerWindowClass({.name = className.text, .procedure = windowProc, .cursor = arrowCursor()});
    // The window's text is the caption, for whatever reads windows by their
    // text; only the label paints it.
    const bool made =
        createWindow(0, className.text, LblMsg.caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                     scale_.pixelsX(left), scale_.pixelsY(top), scale_.pixelsX(width), scale_.pixelsY(height), parent);
    setEnabledValue(enabledValue_);
    return made;
}

void Command::setScale(const TwipsScale& scale) {
    scale_ = scale;
    LblMsg.scale = scale_;
    skins_ = std::make_unique<SkinSet>(module_, scale_);
    if (window() == nullptr) {
        return;
    }
    RECT before{};
    GetClientRect(window(), &before);
    MoveWindow(window(), scale_.pixelsX(twips_.left), scale_.pixelsY(twips_.top), scale_.pixelsX(twips_.width),
               scale_.pixelsY(twips_.height), TRUE);
    RECT after{};
    GetClientRect(window(), &after);
    // A new size repaints the face by itself; the same size needs telling.
    if (EqualRect(&before, &after)) {
        ApplyEnabledLook();
    }
}

void Command::Initialize() {
    state_ = StateNormal;
    if (window() != nullptr) {
        timerRunning_ = SetTimer(window(), TmrMouse, TmrMouseInterval, nullptr) != 0;
    }
}

void Command::tell(std::wstring_view name) {
    if (PropertyChanged) {
        PropertyChanged(name);
    }
}

void Command::Caption(std::wstring caption) {
    LblMsg.caption = std::move(caption);
    if (window() != nullptr) {
        SetWindowTextW(window(), LblMsg.caption.c_str());
    }
    tell(L"Caption");
    labelChanged();
}

void Command::Font(FontRef font) {
    LblMsg.font = std::move(font);
    tell(L"Font");
    labelChanged();
}

std::uint32_t Command::FontColour() {
    const std::uint32_t colour = LblMsg.colour;
    RefreshLook();
    return colour;
}

void Command::FontColour(std::uint32_t colour) {
    if (!resolveColour(colour)) {
        RefreshLook();
        return;
    }
    LblMsg.colour = colour;
    RefreshLook();
    tell(L"FontColour");
    labelChanged();
}

std::int16_t Command::Enabled() {
    if (firstRun_ == 0) {
        RefreshLook();
        firstRun_ = 1;
        setEnabledValue(-1);
    }
    const std::int16_t result = enabledValue_;
    ApplyEnabledLook();
    return result;
}

void Command::Enabled(std::int16_t enabled) {
    setEnabledValue(enabled);
    tell(L"Enabled");
    ApplyEnabledLook();
}

std::uint8_t Command::Visible() {
    if (backStyle_ == 0) {
        return 0;
    }
    RefreshLook();
    return 255;
}

void Command::Visible(std::uint8_t visible) {
    backStyle_ = visible != 0 ? 1 : 0;
    if (visible != 0) {
        RefreshLook();
    }
    tell(L"Visible");
    updateRegion();
    if (window() != nullptr) {
        InvalidateRect(window(), nullptr, FALSE);
    }
}

// The window follows the value, so that a disabled button is passed over by
// the tab key and the pointer as well.
void Command::setEnabledValue(std::int16_t enabled) {
    enabledValue_ = enabled != 0 ? -1 : 0;
    if (window() != nullptr) {
        EnableWindow(window(), enabledValue_ != 0);
    }
}

void Command::labelChanged() {
    updateRegion();
    if (window() != nullptr) {
        InvalidateRect(window(), nullptr, FALSE);
    }
}

// A transparent button shows only its caption: the window is cut down to
// the outline of the caption's letters, and the dialog shows everywhere else.
void Command::updateRegion() {
    if (window() == nullptr) {
        return;
    }
    if (backStyle_ != 0) {
        SetWindowRgn(window(), nullptr, TRUE);
        return;
    }
    HRGN region = nullptr;
    if (const WindowDc dc(window()); dc) {
        BeginPath(dc.get());
        LblMsg.paint(dc.get());
        EndPath(dc.get());
        region = PathToRegion(dc.get());
    }
    SetWindowRgn(window(), region != nullptr ? region : CreateRectRgn(0, 0, 0, 0), TRUE);
}

void Command::resizeSurface(int width, int height) {
    surface_ = {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width > 0 ? width : 1;
    info.bmiHeader.biHeight = -(height > 0 ? height : 1);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    surface_ = BitmapSurface(OwnedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
}

void Command::onPaint(HDC dc) {
    if (backStyle_ != 0 && surface_) {
        RECT client{};
        GetClientRect(window(), &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, surface_.dc(), 0, 0, SRCCOPY);
    }
    LblMsg.paint(dc);
}

void Command::onSize() {
    RECT client{};
    GetClientRect(window(), &client);
    resizeSurface(client.right, client.bottom);
    ApplyEnabledLook();
}

void Command::onButtonDown(std::int16_t button) {
    // Moves and the release keep coming here while the cursor is outside.
    SetCapture(window());
    if (button == LeftButton && GetFocus() != window()) {
        SetFocus(window());
    }
    press(button);
}

// A screen reader's default action: a click as the mouse gives one, which
// takes the focus as a left press does and raises Click.
void Command::onDefaultAction() {
    if (!enabled()) {
        return;
    }
    if (GetFocus() != window()) {
        SetFocus(window());
    }
    if (Click) {
        Click();
    }
}

void Command::onButtonUp(std::int16_t button, WPARAM keys) {
    // Let go of the mouse before Click, whose handler may open a window.
    if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window()) {
        ReleaseCapture();
    }
    release(button);
}

LRESULT Command::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the surface covers the whole client area
    case WM_SIZE:
        onSize();
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(LeftButton);
        return 0;
    case WM_RBUTTONDOWN:
        onButtonDown(RightButton);
        return 0;
    case WM_MBUTTONDOWN:
        onButtonDown(MiddleButton);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(LeftButton, wParam);
        return 0;
    case WM_RBUTTONUP:
        onButtonUp(RightButton, wParam);
        return 0;
    case WM_MBUTTONUP:
        onButtonUp(MiddleButton, wParam);
        return 0;
    case WM_MOUSEMOVE:
        move();
        return 0;
    case WM_SETFOCUS:
        focusGained();
        return 0;
    case WM_KILLFOCUS:
        focusLost();
        return 0;
    case WM_TIMER:
        if (wParam == TmrMouse) {
            hoverCheck();
        }
        return 0;
    case WM_ENABLE:
        // Sent only for a real change; the system tells readers nothing of it
        // for a window of our own.
        notifyAccessible(EVENT_OBJECT_STATECHANGE, window(), AccessibleContent::self);
        return 0;
    case WM_GETOBJECT:
        return answer_.answer(wParam, lParam);
    case DefaultActionMessage:
        onDefaultAction();
        return 0;
    case WM_DESTROY:
        answer_.disconnect();
        return 0;
    default:
        return DefWindowProcW(window(), message, wParam, lParam);
    }
}

void Command::onDestroy() {
    timerRunning_ = false; // the timer ends with the window
}

} // namespace solvane
