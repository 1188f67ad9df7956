#include "win32/password_check.h"

#include <string>

namespace solvane {

namespace {

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

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
HMODULE loadSystemPasswordModule() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(folder, length) + L"\\PASSWORD.CPL";
    return LoadLibraryW(path.c_str());
}

// The password module for the length of one check.
class PasswordModule {
public:
    PasswordModule() : module_(loadSystemPasswordModule()) {}
    ~PasswordModule() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    PasswordModule(const PasswordModule&) = delete;
    PasswordModule& operator=(const PasswordModule&) = delete;

    VerifyScreenSavePwdFn entry() const {
        if (module_ == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<VerifyScreenSavePwdFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "VerifyScreenSavePwd")));
    }

private:
    HMODULE module_;
};

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
    const PasswordModule module;
    const VerifyScreenSavePwdFn verify = module.entry();
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
