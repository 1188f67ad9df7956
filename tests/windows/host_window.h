#pragma once

// A top-level window of the test's own, on white: the dialog a control
// stands in, the screen-saver host a preview pane opens in, or a hidden
// window to draw GL into. A shown one is topmost and in the foreground.
#include <windows.h>

namespace solvane::test {

class HostWindow {
public:
    enum class Shown { Yes, No };

    explicit HostWindow(const RECT& place, Shown shown = Shown::Yes);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND window() const { return window_; }
    // The window goes now; what its going posts is left for the test to see.
    void destroy();

private:
    HWND window_ = nullptr;
};

} // namespace solvane::test
