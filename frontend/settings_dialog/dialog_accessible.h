#pragma once

#include "forms/accessible.h"

#include <string>

namespace solvane {

class SettingsDialog;

// The dialog as a screen reader finds it: a dialog named by its caption
// that holds the panel of music options, then the three buttons below it in
// the order the tab key takes them.
class DialogAccessible final : public AccessibleContent {
public:
    explicit DialogAccessible(SettingsDialog& dialog) : dialog_(dialog) {}

    HWND window() const override;
    int partCount() const override { return 4; }
    HWND partWindow(int part) const override;
    std::wstring name(int part) const override;
    long role(int part) const override;
    long state(int part) const override;

private:
    SettingsDialog& dialog_;
};

} // namespace solvane
