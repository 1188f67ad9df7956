#pragma once

#include "artwork_scale.h"

#include <windows.h>

struct IPicture;

namespace solvane {

// A JPEG or bitmap picture stored in the program's resources, decoded by
// the platform (OleLoadPicture). Drawn pixel for pixel, or, as a form's
// artwork, at its physical size on this screen.
class StoredPicture {
public:
    enum class Size { Pixels, Physical };

    // Loads the RCDATA resource `id` of `module`; empty when that fails.
    StoredPicture(HMODULE module, int id, Size shownAt = Size::Pixels);
    ~StoredPicture();
    StoredPicture(const StoredPicture&) = delete;
    StoredPicture& operator=(const StoredPicture&) = delete;

    bool empty() const { return bitmap_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Draws the picture at its size (width() x height()) with its top-left corner at (x, y),
    // cut off at the clip rectangle.
    void draw(HDC dc, int x, int y, const RECT& clip) const;

private:
    IPicture* picture_ = nullptr;
    HBITMAP bitmap_ = nullptr; // owned by picture_, or the scaled copy
    OwnedBitmap scaled_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace solvane
