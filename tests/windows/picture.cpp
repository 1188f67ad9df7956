#include "picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace solvane::test {

namespace {

// 32 bits a pixel, rows top-down: what GetDIBits hands back.
BITMAPINFO topDown(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

} // namespace

Picture Picture::of(HDC dc, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const OwnedBitmap copy = screenBitmap(width, height);
    {
        const MemoryDc memory(nullptr);
        const Selection selected(memory.get(), copy.get());
        BitBlt(memory.get(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    }
    return ofBitmap(copy.get());
}

Picture Picture::of(HDC surface, HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return of(surface, client);
}

Picture Picture::ofScreen(const RECT& area) {
    const WindowDc screen;
    return of(screen.get(), area);
}

Picture Picture::onScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ofScreen(client);
}

Picture Picture::printed(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return painted(client.right, client.bottom, [&](HDC dc) {
        PatBlt(dc, 0, 0, client.right, client.bottom, WHITENESS);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

Picture Picture::ofBitmap(HBITMAP bitmap) {
    BITMAP size{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof size, &size) == 0) {
        return {};
    }
    BITMAPINFO info = topDown(size.bmWidth, size.bmHeight);
    std::vector<RGBQUAD> read(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    const WindowDc screen;
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(size.bmHeight), read.data(), &info, DIB_RGB_COLORS) !=
        size.bmHeight) {
        return {};
    }
    Picture picture;
    picture.width_ = size.bmWidth;
    picture.height_ = size.bmHeight;
    picture.pixels_.reserve(read.size());
    for (const RGBQUAD& pixel : read) {
        picture.pixels_.push_back(RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue));
    }
    return picture;
}

Picture Picture::painted(int width, int height, const std::function<void(HDC)>& paint) {
    const BitmapSurface surface(screenBitmap(width, height));
    paint(surface.dc());
    return of(surface.dc(), RECT{0, 0, width, height});
}

COLORREF Picture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

int Picture::count(const RECT& area, COLORREF colour) const {
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            found += at(x, y) == colour ? 1 : 0;
        }
    }
    return found;
}

bool Picture::save(const std::string& path) const {
    const int stride = (width_ * 3 + 3) & ~3;
    std::vector<unsigned char> body(static_cast<std::size_t>(stride) * height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const COLORREF colour = at(x, y);
            unsigned char* pixel = &body[static_cast<std::size_t>(height_ - 1 - y) * stride + x * 3];
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    const BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER),        width_, height_, 1, 24, BI_RGB,
                                static_cast<DWORD>(body.size()), 0,      0,       0, 0};
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(headers + body.size()), 0, 0, headers};
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
    return out != nullptr && std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
           std::fwrite(&info, sizeof info, 1, out.get()) == 1 &&
           std::fwrite(body.data(), 1, body.size(), out.get()) == body.size();
}

OwnedBitmap screenBitmap(int width, int height) {
    const WindowDc screen;
    return OwnedBitmap(CreateCompatibleBitmap(screen.get(), width, height));
}

int channelDifference(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

} // namespace solvane::test
