#include "win32/display_power.h"

#include "winutils/system_function.h"

namespace solvane {

namespace {

// GUID_CONSOLE_DISPLAY_STATE, written out: MinGW's headers give it only to
// code that defines the GUIDs it includes.
constexpr GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD displayOff = 0;

} // namespace

DisplayPower::DisplayPower(HWND window) {
    // Both came with Windows Vista: looked up, so that older systems still run.
    if (const auto registerFor = systemFunction<decltype(RegisterPowerSettingNotification)>(
            L"user32.dll", "RegisterPowerSettingNotification")) {
        registration_ = registerFor(window, &consoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
}

DisplayPower::~DisplayPower() {
    if (registration_ == nullptr) {
        return;
    }
    if (const auto unregister = systemFunction<decltype(UnregisterPowerSettingNotification)>(
            L"user32.dll", "UnregisterPowerSettingNotification")) {
        unregister(registration_);
    }
}

bool DisplayPower::onPowerBroadcast(WPARAM event, LPARAM setting) {
    if (event != PBT_POWERSETTINGCHANGE || setting == 0) {
        return false;
    }
    const auto* report = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (report->PowerSetting != consoleDisplayState || report->DataLength < sizeof(DWORD)) {
        return false;
    }
    DWORD state = 0;
    CopyMemory(&state, report->Data, sizeof state);
    lit_ = state != displayOff;
    return true;
}

} // namespace solvane
