#pragma once

#include "button/command.h"
#include "test_support.h"

#include <windows.h>

#include <functional>
#include <string>

namespace solvane::test {

// A shown top-level window standing in for the dialog.
class HostWindow {
public:
    HostWindow(int x = 100, int y = 100, int width = 600, int height = 300);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
};

// What the window shows, painted into a bitmap through WM_PRINTCLIENT.
class Snapshot {
public:
    explicit Snapshot(HWND window);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    int width() const { return width_; }
    int height() const { return height_; }
    bool save(const std::string& path) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

COLORREF hex(unsigned rrggbb);
// The look on the face, told apart by the top edge's third ring (HighLight
// and HighLightSelect share their pixels; lastSkin tells those two apart).
std::string faceLook(const Command& command);
const char* name(Skin skin);

} // namespace solvane::test
