#pragma once

// The one platform answer Wine cannot give, stood in for while the object
// lives: high contrast is on (or off).
#include "forms/high_contrast.h"

namespace solvane::test {

class ForcedHighContrast final : public HighContrast {
public:
    explicit ForcedHighContrast(bool on) : on_(on), previous_(installHighContrast(this)) {}
    ~ForcedHighContrast() override { installHighContrast(previous_); }
    ForcedHighContrast(const ForcedHighContrast&) = delete;
    ForcedHighContrast& operator=(const ForcedHighContrast&) = delete;

    bool on() override { return on_; }

private:
    bool on_;
    HighContrast* previous_;
};

} // namespace solvane::test
