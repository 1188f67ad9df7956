#pragma once

#include <windows.h>

namespace solvane {

// The object behind a window of one of the front end's own classes, which
// outlives its window: the class's procedure finds it through the window and
// hands it one small handler a message.
class WindowObject {
public:
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    // Null before the window is made and once it is gone.
    HWND window() const { return window_; }

protected:
    WindowObject() = default;
    // A window still there goes with its object, detached first, so that its
    // last messages do not reach an object partly gone.
    virtual ~WindowObject();

    // Makes a window of a class registered with `windowProc`, this object
    // behind it. False when it cannot be made.
    bool createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                      int width, int height, HWND parent);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // WM_PAINT and WM_PRINTCLIENT.
    virtual void onPaint(HDC) {}
    virtual void onCreate() {}
    // WM_NCDESTROY, the window's last message.
    virtual void onDestroy() {}
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND window_ = nullptr;
};

} // namespace solvane
