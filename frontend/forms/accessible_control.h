#pragma once

#include "forms/accessible.h"

#include <windows.h>

#include <string>

namespace solvane {

// A window of one of the system's own classes (a combo box, its edit field)
// as a screen reader should find it: named and given a role here, its value
// its text. It answers WM_GETOBJECT for its client area in place of the
// system's proxy, which would name it by its text; everything else the
// window's own procedure does as before.
class AccessibleControl final : public AccessibleContent {
public:
    // `part`: a child window the control is made of (a combo box's edit
    // field), its one part; null for none.
    AccessibleControl(HWND window, std::wstring name, long role, HWND part = nullptr);
    ~AccessibleControl() override;
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    HWND window() const override { return window_; }
    int partCount() const override { return part_ != nullptr ? 1 : 0; }
    HWND partWindow(int part) const override { return part == 1 ? part_ : nullptr; }
    std::wstring name(int) const override { return name_; }
    long role(int) const override { return role_; }
    long state(int) const override;
    std::wstring value(int) const override;
    bool takeFocus() override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void release();

    HWND window_;
    std::wstring name_;
    long role_;
    HWND part_;
    WNDPROC previous_ = nullptr;
    AccessibleAnswer answer_{*this};
};

} // namespace solvane
