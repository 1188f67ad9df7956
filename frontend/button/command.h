#pragma once

#include "button/caption_font.h"
#include "button/caption_label.h"
#include "button/command_accessible.h"
#include "button/property_bag.h"
#include "button/skin_set.h"
#include "forms/accessible.h"
#include "forms/gdi.h"
#include "forms/twips.h"
#include "forms/window_object.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace solvane {

// Where a button is in its hover, focus and press cycle; 0 until Initialize.
enum FaceState : std::uint8_t {
    StateNormal = 1,
    StateHighLight = 2,
    StateSelected = 3,
    StateHighLightSelect = 4,
};

// Mouse buttons as the handlers receive them.
enum MouseButton : std::int16_t { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// The front end's skinned push button: a child window with a persistent
// drawing surface (the face), a windowless caption LblMsg drawn over it and
// the hover timer TmrMouse. Properties read and written as Name() and
// Name(value); a write that the form description must keep is reported
// through PropertyChanged. Booleans are 16-bit, true = -1.
class Command : public WindowObject {
public:
    Command();

    // Creates the window as a child of `parent`, geometry in twips at the
    // parent's scale. The skins come from `module`'s resources. False when
    // the window cannot be made.
    bool create(HWND parent, int left, int top, int width, int height, HMODULE module = GetModuleHandleW(nullptr));

    // Lays the button out again at another scale: its place and size, its
    // skins and its caption's font, as when its form moves to a monitor of
    // other dots per inch.
    void setScale(const TwipsScale& scale);
    const TwipsScale& scale() const { return scale_; }

    void Initialize();

    // Raised when a click completes (see the release handler).
    std::function<void()> Click;
    // Told the name of a property whose change the form description must keep.
    std::function<void(std::wstring_view)> PropertyChanged;

    // What a screen reader says of the button beside its caption, where the
    // caption alone does not tell what it does.
    const std::wstring& description() const { return description_; }
    void setDescription(std::wstring description) { description_ = std::move(description); }

    std::wstring Caption() const { return LblMsg.caption; }
    void Caption(std::wstring caption);
    FontRef Font() const { return LblMsg.font; }
    void Font(FontRef font);
    std::uint32_t FontColour();
    void FontColour(std::uint32_t colour);
    std::int16_t Enabled();
    void Enabled(std::int16_t enabled);
    std::uint8_t Visible();
    void Visible(std::uint8_t visible);

    // Restoring and saving through the form description; `dialogFont` is
    // the default of "Font".
    void ReadProperties(const PropertyBag& bag, const FontRef& dialogFont);
    void WriteProperties(PropertyBag& bag, const FontRef& dialogFont);

    // Painting.
    void PaintFace(Skin skin);
    void PaintGradient();
    void ApplyEnabledLook();
    void RefreshLook();

    // Input handlers, run by the window procedure.
    void press(std::int16_t button);
    void move();
    void release(std::int16_t button);
    void focusGained();
    void focusLost();
    void LeaveHover();
    void hoverCheck();

    // The system's colours or the high-contrast setting changed: the face
    // shown is painted again in the look that now applies.
    void systemLookChanged();

    // What the button holds, for its container.
    std::uint8_t state() const { return state_; }
    bool enabled() const { return enabledValue_ != 0; }

    // Test hooks: only tests call these.
    bool ButtonHeld() const { return buttonHeld_; }
    bool GradientReversed() const { return gradientReversed_; }
    std::uint8_t FirstRun() const { return firstRun_; }
    std::int16_t backgroundStyle() const { return backStyle_; }
    bool timerRunning() const { return timerRunning_; }
    const CaptionLabel& label() const { return LblMsg; }
    // The persistent surface the face is drawn on.
    HDC surface() const { return surface_.dc(); }
    // The skin of the latest PaintFace and how many have run.
    Skin lastSkin() const { return lastSkin_; }
    unsigned paintCount() const { return paintCount_; }
    // End of the test hooks.

    static constexpr UINT_PTR TmrMouse = 1;
    static constexpr UINT TmrMouseInterval = 100; // ms
    static constexpr COLORREF backgroundColour = RGB(0xEC, 0xE9, 0xD8);
    // Posted by a screen reader's default action: a click, once the reader's
    // call has returned (the click may open a dialog or close this one).
    static constexpr UINT DefaultActionMessage = WM_USER + 1;

private:
    void onPaint(HDC dc) override;
    void onDestroy() override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onSize();
    void onButtonDown(std::int16_t button);
    void onButtonUp(std::int16_t button, WPARAM keys);
    void onDefaultAction();
    void paintContrastFace(Skin skin, const RECT& client);

    void resizeSurface(int width, int height);
    void refresh();
    void labelChanged();
    void updateRegion();
    void tell(std::wstring_view name);
    void setEnabledValue(std::int16_t enabled);

    HMODULE module_ = nullptr;
    struct {
        int left, top, width, height;
    } twips_{}; // as created
    TwipsScale scale_;
    std::unique_ptr<SkinSet> skins_;
    BitmapSurface surface_;

    CaptionLabel LblMsg;
    std::uint8_t state_ = 0;
    bool buttonHeld_ = false;
    bool gradientReversed_ = false;
    std::int16_t enabledValue_ = 0;
    std::uint8_t firstRun_ = 0;
    std::int16_t backStyle_ = 1;
    bool timerRunning_ = false;
    TRIVERTEX vertices_[2]{};
    GRADIENT_RECT gradientRect_{};

    Skin lastSkin_ = Skin::Normal;
    unsigned paintCount_ = 0;

    std::wstring description_;
    CommandAccessible accessible_{*this};
    AccessibleAnswer answer_{accessible_};
};

} // namespace solvane
