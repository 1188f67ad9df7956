#pragma once

#include "forms/accessible.h"

#include <string>

namespace solvane {

class SettingsPanel;

// The panel as a screen reader finds it: a group named by its heading that
// holds, in reading order, the options as radio buttons (checked for the one
// chosen, a default action that chooses it), the repeat box and its label,
// the "..." button and the file label, static text whose value is the file.
class PanelAccessible final : public AccessibleContent {
public:
    enum Part { CdOption = 1, RepeatBox, RepeatLabel, NoMusicOption, FileOption, FileButton, FileLabel };

    explicit PanelAccessible(SettingsPanel& panel) : panel_(panel) {}

    // The part that is option `index` (its value of the music kind).
    static int optionPart(int index);

    HWND window() const override;
    int partCount() const override { return FileLabel; }
    HWND partWindow(int part) const override;
    std::wstring name(int part) const override;
    long role(int part) const override;
    long state(int part) const override;
    std::wstring value(int part) const override;
    std::wstring defaultAction(int part) const override;
    bool doDefaultAction(int part) override;
    RECT bounds(int part) const override;

private:
    // The option that part `part` is, or -1.
    static int optionIndex(int part);

    SettingsPanel& panel_;
};

} // namespace solvane
