#include "win32/password_check.h"

#include "winutils/handle_owner.h"
#include "winutils/system_function.h"

#include <string>

namespace solvane {

namespace {

using VerifyScreenSavePwd = BOOL WINAPI(HWND);

bool windows9x() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The system's own module: by name the search would also reach the current
// folder and every folder on PATH, where anyone may have put one.
OwnedModule loadSystemPasswordModule() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::wstring path = std::wstring(folder, length) + L"\\PASSWORD.CPL";
    return OwnedModule(LoadLibraryW(path.c_str()));
}

// The system counts a screen saver as running only while its dialog shows.
class ScreenSaverRunning {
public:
    ScreenSaverRunning() { SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous_, 0); }
    ~ScreenSaverRunning() { SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &previous_, 0); }
    ScreenSaverRunning(const ScreenSaverRunning&) = delete;
    ScreenSaverRunning& operator=(const ScreenSaverRunning&) = delete;

private:
    BOOL previous_ = FALSE;
};

} // namespace

BOOL PasswordCheck::verifySaverPassword(HWND window) {
    if (!windows9x()) {
        return TRUE;
    }
    // The module for the length of one check.
    const OwnedModule module = loadSystemPasswordModule();
    const auto verify = moduleFunction<VerifyScreenSavePwd>(module.get(), "VerifyScreenSavePwd");
    if (verify == nullptr) {
        return TRUE;
    }
    const ScreenSaverRunning running;
    passwordDialogOpen_ = true;
    const BOOL result = verify(window);
    passwordDialogOpen_ = false;
    return result;
}

} // namespace solvane
