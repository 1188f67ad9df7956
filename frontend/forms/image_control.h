#pragma once

#include "forms/stored_picture.h"

#include <windows.h>

namespace solvane {

// A windowless image control: a rectangle of its form (in pixels) showing a
// stored picture at the picture's own size from its top-left corner. Where
// the control is larger the form's background shows; where smaller the
// picture is cut off.
class ImageControl {
public:
    explicit ImageControl(const StoredPicture* picture) : picture_(picture) {}

    void move(int left, int top) {
        const int width = bounds_.right - bounds_.left;
        const int height = bounds_.bottom - bounds_.top;
        bounds_ = {left, top, left + width, top + height};
    }
    void resize(int width, int height) {
        bounds_.right = bounds_.left + width;
        bounds_.bottom = bounds_.top + height;
    }
    const RECT& bounds() const { return bounds_; }

    void paint(HDC dc) const {
        if (picture_ != nullptr) {
            picture_->draw(dc, bounds_.left, bounds_.top, bounds_);
        }
    }

private:
    const StoredPicture* picture_;
    RECT bounds_{};
};

} // namespace solvane
