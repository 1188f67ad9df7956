#pragma once

#include "forms/accessible.h"

#include <string>

namespace solvane {

class Command;

// The button as a screen reader finds it: a push button named by its
// caption, unavailable while disabled, whose default action is a click.
class CommandAccessible final : public AccessibleContent {
public:
    explicit CommandAccessible(Command& button) : button_(button) {}

    HWND window() const override;
    std::wstring name(int part) const override;
    long role(int part) const override;
    long state(int part) const override;
    std::wstring description(int part) const override;
    std::wstring defaultAction(int part) const override;
    bool doDefaultAction(int part) override;
    bool takeFocus() override;

private:
    Command& button_;
};

} // namespace solvane
