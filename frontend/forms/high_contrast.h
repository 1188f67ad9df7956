#pragma once

namespace solvane {

// Whether the user asked the system for high contrast: the forms then paint
// with the system's colours. The real question goes to the system; a test
// installs another answer where the platform cannot switch it on.
class HighContrast {
public:
    virtual ~HighContrast() = default;
    virtual bool on() = 0;
};

// The answer the forms go by.
bool highContrastOn();

// Installs one (nullptr: the system's again) and returns the one it replaces.
HighContrast* installHighContrast(HighContrast* answer);

} // namespace solvane
