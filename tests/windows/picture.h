#pragma once

// Pixels read back once, from the screen, a window, a device context or a
// bitmap, and held as colours for the test to look at.
#include "forms/gdi.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace solvane::test {

class Picture {
public:
    Picture() = default;

    // What `area` of a device context holds.
    static Picture of(HDC dc, const RECT& area);
    // What a surface a window paints from holds over the window's client area.
    static Picture of(HDC surface, HWND window);
    // What `area` of the screen shows, in screen coordinates.
    static Picture ofScreen(const RECT& area);
    // A window's client area as the screen shows it.
    static Picture onScreen(HWND window);
    // A window's client area as it paints itself (WM_PRINTCLIENT) on white.
    static Picture printed(HWND window);
    // A bitmap at its own size; none for no bitmap.
    static Picture ofBitmap(HBITMAP bitmap);
    // What `paint` draws on a bitmap like the screen's of that size.
    static Picture painted(int width, int height, const std::function<void(HDC)>& paint);

    int width() const { return width_; }
    int height() const { return height_; }
    // CLR_INVALID outside the picture, as GetPixel answers there.
    COLORREF at(int x, int y) const;
    // How many pixels of `area` have the colour.
    int count(const RECT& area, COLORREF colour) const;
    bool operator==(const Picture&) const = default;

    // Writes the picture as a 24-bit BMP file; false where it cannot.
    bool save(const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_; // top-down rows
};

// A bitmap of that size like the screen's, its pixels undefined.
OwnedBitmap screenBitmap(int width, int height);

// The largest difference of any one channel between two colours.
int channelDifference(COLORREF a, COLORREF b);

} // namespace solvane::test
