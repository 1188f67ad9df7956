#include "forms/stored_picture.h"

#include "forms/gdi.h"
#include "forms/resource_bytes.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>

namespace solvane {

StoredPicture::StoredPicture(HMODULE module, int id, const TwipsScale& scale) : StoredPicture(module, id) {
    artwork_ = true;
    scaleTo(scale);
}

StoredPicture::StoredPicture(HMODULE module, int id) {
    const std::string_view bytes = resourceBytes(module, id);
    const auto size = static_cast<DWORD>(bytes.size());
    if (size == 0) {
        return;
    }
    // The stream owns a copy of the bytes and frees it when released.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return;
    }
    std::memcpy(GlobalLock(copy), bytes.data(), size);
    GlobalUnlock(copy);
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.GetAddressOf()))) {
        GlobalFree(copy);
        return;
    }
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture_.GetAddressOf()))) ||
        picture_ == nullptr) {
        return;
    }
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    if (FAILED(picture_->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture_->get_Handle(&handle))) {
        return;
    }
    stored_ = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info{};
    GetObjectW(stored_, sizeof info, &info);
    storedWidth_ = info.bmWidth;
    storedHeight_ = info.bmHeight;
    bitmap_ = stored_;
    width_ = storedWidth_;
    height_ = storedHeight_;
}

void StoredPicture::scaleTo(const TwipsScale& scale) {
    if (!artwork_ || stored_ == nullptr) {
        return;
    }
    scaled_.reset();
    bitmap_ = stored_;
    width_ = storedWidth_;
    height_ = storedHeight_;
    const SIZE size = artworkSize(storedWidth_, storedHeight_, scale);
    if (size.cx == storedWidth_ && size.cy == storedHeight_) {
        return;
    }
    // Where it cannot be scaled it is drawn pixel for pixel.
    if ((scaled_ = resampledBitmap(stored_, storedWidth_, storedHeight_, size))) {
        bitmap_ = scaled_.get();
        width_ = size.cx;
        height_ = size.cy;
    }
}

void StoredPicture::draw(HDC dc, int x, int y, const RECT& clip) const {
    if (bitmap_ == nullptr) {
        return;
    }
    const int left = std::max(x, static_cast<int>(clip.left));
    const int top = std::max(y, static_cast<int>(clip.top));
    const int right = std::min(x + width_, static_cast<int>(clip.right));
    const int bottom = std::min(y + height_, static_cast<int>(clip.bottom));
    if (right <= left || bottom <= top) {
        return;
    }
    const MemoryDc source(dc);
    const Selection selected(source.get(), bitmap_);
    BitBlt(dc, left, top, right - left, bottom - top, source.get(), left - x, top - y, SRCCOPY);
}

} // namespace solvane
