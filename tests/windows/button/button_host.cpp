#include "button_host.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace solvane::test {

namespace {

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HostWindow::HostWindow(int x, int y, int width, int height) {
    WNDCLASSW host{};
    host.lpfnWndProc = hostProc;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    host.lpszClassName = L"ButtonTestHost";
    RegisterClassW(&host);
    window_ = CreateWindowExW(0, host.lpszClassName, L"Button test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                              width, height, nullptr, nullptr, host.hInstance, nullptr);
    SetForegroundWindow(window_);
    pumpMessages();
}

HostWindow::~HostWindow() {
    DestroyWindow(window_);
    pumpMessages();
}

Snapshot::Snapshot(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, width_, height_, WHITENESS);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
}

Snapshot::~Snapshot() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

bool Snapshot::save(const std::string& path) const {
    const int stride = (width_ * 3 + 3) & ~3;
    std::vector<unsigned char> body(static_cast<std::size_t>(stride) * height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const COLORREF c = at(x, y);
            unsigned char* p = &body[static_cast<std::size_t>(height_ - 1 - y) * stride + x * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER),        width_, height_, 1, 24, BI_RGB,
                          static_cast<DWORD>(body.size()), 0,      0,       0, 0};
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + body.size()), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(info)};
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(body.data(), 1, body.size(), out);
    return std::fclose(out) == 0;
}

COLORREF hex(unsigned rrggbb) { return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

std::string faceLook(const Command& command) {
    const COLORREF ring = GetPixel(command.surface(), 20, 2);
    const struct {
        unsigned colour;
        Skin skin;
    } looks[] = {{0xF3F3EE, Skin::Normal},
                 {0xFFF0CF, command.lastSkin() == Skin::HighLightSelect ? Skin::HighLightSelect : Skin::HighLight},
                 {0xCEE7FF, Skin::Selected},
                 {0x003C74, Skin::Pressed},
                 {0xF5F4EA, Skin::Disable}};
    for (const auto& look : looks) {
        if (ring == hex(look.colour)) {
            return name(look.skin);
        }
    }
    char unknown[32];
    std::snprintf(unknown, sizeof unknown, "unknown %06lX", static_cast<unsigned long>(ring));
    return unknown;
}

const char* name(Skin skin) {
    static const char* const names[] = {"Normal", "HighLight", "Selected", "HighLightSelect", "Pressed", "Disable"};
    return names[static_cast<int>(skin)];
}

} // namespace solvane::test
