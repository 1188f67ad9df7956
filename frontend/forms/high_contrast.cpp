#include "forms/high_contrast.h"

#include "seam.h"

#include <windows.h>

namespace solvane {

namespace {

class SystemHighContrast final : public HighContrast {
public:
    bool on() override {
        HIGHCONTRASTW setting{};
        setting.cbSize = sizeof setting;
        return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) != 0 &&
               (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
    }
};

SystemHighContrast systemHighContrast;
Seam<HighContrast> seam(systemHighContrast);

} // namespace

bool highContrastOn() { return seam.current().on(); }
HighContrast* installHighContrast(HighContrast* answer) { return seam.install(answer); }

} // namespace solvane
