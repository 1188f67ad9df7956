#include "startup.h"

#include "command_line.h"
#include "contract.h"
#include "preview_pane.h"
#include "saver_run.h"
#include "settings/settings_file.h"
#include "settings_dialog/settings_dialog.h"

#include <windows.h>

#include <string>
#include <utility>

namespace solvane {

bool runStartup(std::wstring_view arguments) {
    // A saver run or a settings dialog of this system anywhere: do nothing.
    const HWND saverRun = FindWindowA(nullptr, contract::saverRunTitle);
    const HWND settingsDialog = FindWindowA(nullptr, contract::settingsDialogTitle);
    if (saverRun != nullptr || settingsDialog != nullptr) {
        return false;
    }

    if (requestLetter(arguments) == L"P") {
        // No settings and no renderer for a preview; without a pane there
        // is nothing to wait for.
        return openPreviewPane(hostHandleOf(arguments));
    }

    MusicSettings music = LoadSettings();

    if (!FileExists(rendererFilePath())) {
        MessageBoxW(nullptr, missingRendererMessage, contract::wide(contract::messageTitle).text, MB_OK);
        return false;
    }

    const std::wstring letter = requestLetter(arguments);
    if (letter == L"C") {
        showSettingsDialog(std::move(music));
        return false;
    }
    if (!arguments.empty() && letter != L"S") {
        return false;
    }
    SaverRunStart start;
    start.music = std::move(music);
    if (letter == L"S") {
        start.cursorHidden = true;
        start.Cursor_Count = ShowCursor(FALSE);
    }
    return openSaverWindow(std::move(start));
}

} // namespace solvane
