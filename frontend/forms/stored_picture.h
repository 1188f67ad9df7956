#pragma once

#include "forms/artwork_scale.h"

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

namespace solvane {

// A JPEG or bitmap picture stored in the program's resources, decoded by
// the platform (OleLoadPicture). Drawn pixel for pixel, or, as a form's
// artwork, at its physical size at the form's scale.
class StoredPicture {
public:
    // Loads the RCDATA resource `id` of `module`, drawn pixel for pixel;
    // empty when that fails.
    StoredPicture(HMODULE module, int id);
    // The same as artwork shown at its physical size at `scale`.
    StoredPicture(HMODULE module, int id, const TwipsScale& scale);
    StoredPicture(const StoredPicture&) = delete;
    StoredPicture& operator=(const StoredPicture&) = delete;

    bool empty() const { return bitmap_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Artwork: brings the picture to its physical size at `scale`, from the
    // stored pixels. Pictures drawn pixel for pixel stay as they are.
    void scaleTo(const TwipsScale& scale);

    // Draws the picture at its size (width() x height()) with its top-left corner at (x, y),
    // cut off at the clip rectangle.
    void draw(HDC dc, int x, int y, const RECT& clip) const;

private:
    Microsoft::WRL::ComPtr<IPicture> picture_;
    HBITMAP stored_ = nullptr; // owned by picture_
    int storedWidth_ = 0;
    int storedHeight_ = 0;
    bool artwork_ = false;
    HBITMAP bitmap_ = nullptr; // stored_, or the scaled copy
    OwnedBitmap scaled_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace solvane
