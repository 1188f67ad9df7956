#pragma once

#include "winutils/handle_owner.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace solvane {

// GDI objects (bitmaps, fonts, pens, brushes, regions) owned by one holder.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using OwnedGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using OwnedBitmap = OwnedGdi<HBITMAP>;
using OwnedFont = OwnedGdi<HFONT>;

// A window's device context, or the screen's for no window, released when it goes.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context like `model` (the screen's when null), deleted when it goes.
class MemoryDc : public HandleOwner<HDC, DeleteDC> {
public:
    MemoryDc() = default;
    explicit MemoryDc(HDC model) : HandleOwner(CreateCompatibleDC(model)) {}
};

// An object selected into a device context for as long as the selection
// lives; the object it replaced is selected again at the end, so the
// context never holds a deleted object and the object can be deleted.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    Selection(Selection&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    Selection& operator=(Selection&& other) noexcept {
        std::swap(dc_, other.dc_);
        std::swap(previous_, other.previous_);
        return *this;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A bitmap kept selected into a memory device context of its own: a
// surface to draw on or a source to copy from. Members go in reverse
// order: the bitmap is deselected, then the context deleted, then the bitmap.
class BitmapSurface {
public:
    BitmapSurface() = default;
    explicit BitmapSurface(OwnedBitmap bitmap)
        : bitmap_(std::move(bitmap)), dc_(bitmap_ ? MemoryDc(nullptr) : MemoryDc()),
          selection_(dc_.get(), bitmap_.get()) {}
    BitmapSurface(BitmapSurface&&) noexcept = default;
    // Taking the other by value lets the old surface end in its own order.
    BitmapSurface& operator=(BitmapSurface other) noexcept {
        std::swap(bitmap_, other.bitmap_);
        std::swap(dc_, other.dc_);
        std::swap(selection_, other.selection_);
        return *this;
    }

    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    explicit operator bool() const { return bitmap_ && dc_; }

private:
    OwnedBitmap bitmap_;
    MemoryDc dc_;
    Selection selection_;
};

// A one-pixel outline of the rectangle, black unless told; its inside is
// left as it is.
inline void drawOutline(HDC dc, const RECT& area, COLORREF colour = RGB(0, 0, 0)) {
    const OwnedGdi<HPEN> outline(CreatePen(PS_SOLID, 1, colour));
    const Selection brush(dc, GetStockObject(NULL_BRUSH));
    const Selection pen(dc, outline.get());
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
}

// A dotted one-pixel rectangle along the inside of `area`, every other pixel
// in `colour`: a focus rectangle drawn in a colour of the system's, where the
// platform's own inverts what lies below.
inline void drawFocusRectangle(HDC dc, const RECT& area, COLORREF colour) {
    if (area.right - area.left < 2 || area.bottom - area.top < 2) {
        return;
    }
    int step = 0;
    const auto dot = [&](int x, int y) {
        if (step++ % 2 == 0) {
            SetPixelV(dc, x, y, colour);
        }
    };
    for (int x = area.left; x < area.right - 1; ++x) {
        dot(x, area.top);
    }
    for (int y = area.top; y < area.bottom - 1; ++y) {
        dot(area.right - 1, y);
    }
    for (int x = area.right - 1; x > area.left; --x) {
        dot(x, area.bottom - 1);
    }
    for (int y = area.bottom - 1; y > area.top; --y) {
        dot(area.left, y);
    }
}

} // namespace solvane
