#pragma once

#include "contract.h"
#include "settings/music_settings.h"
#include "settings_keys.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace solvane {

// Solvane.ini beside the program: one section, three keys whose names are
// stored as their code-page-932 bytes whatever the system code page is.
inline constexpr auto settingsSectionName = contract::wide(keys::settingsSection);
inline constexpr std::wstring_view settingsSection = settingsSectionName.text;
inline constexpr std::string_view keyMusicKind = keys::musicKind;
inline constexpr std::string_view keyRepeatTrack = keys::repeatTrack;
inline constexpr std::string_view keyMusicFile = keys::musicFile;

// The folder of the program file as the platform reports it, without a
// trailing backslash except for a drive's root.
std::wstring programFolder();

// programFolder() + "\Solvane.ini" and + "\Solvane.dll" (plain concatenation).
std::wstring settingsFilePath();
std::wstring rendererFilePath();

// One value, at most 255 bytes; missing or empty reads as empty, and so does
// every value of a file whose path cannot reach the narrow calls.
std::wstring ReadSetting(std::wstring_view section, std::string_view key, std::wstring_view filePath);
// False when the platform could not write the value; its error code is then
// the thread's last error (ERROR_NO_UNICODE_TRANSLATION for a path the narrow
// call cannot be given).
bool WriteSetting(std::wstring_view section, std::string_view key, std::wstring_view value, std::wstring_view filePath);

// A number in the classic text form that keeps the first character for the
// sign: " 2", "-1".
std::wstring signBlank(int value);

// Why a save did not reach the file.
enum class SaveFault {
    None,
    WriteFailed,            // the platform refused a write; `error` says why
    ReadBackDiffers,        // what the file gives back is not what was chosen
    SettingsPathUnwritable, // the settings file's path cannot reach the narrow calls
    MusicPathUnwritable,    // nor can the music file's
};

// Writes the three music settings in the file's order and reads them back.
// A choice that did not reach the file is never taken for saved, and then
// the file is put back as it was, so that nothing of it was saved either.
struct SaveResult {
    SaveFault fault = SaveFault::None;
    unsigned long error = 0; // the platform's code for the failed write
    bool restored = true;    // the file holds what it held before
    bool saved() const { return fault == SaveFault::None; }
};
SaveResult SaveSettings(std::int16_t kind, std::int16_t track, std::wstring_view file, std::wstring_view filePath);

// The music settings the settings file holds; never fails. A stored value
// that is no number leaves the one in `before` as it was.
MusicSettings LoadSettings();
MusicSettings LoadSettings(std::wstring_view filePath, MusicSettings before = {});

// True (-1) when the file can be opened for reading right now.
short FileExists(std::wstring_view path);

} // namespace solvane
