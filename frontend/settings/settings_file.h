#pragma once

#include "settings/music_settings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace solvane {

// Solvane.ini beside the program: one section, three keys whose names are
// stored as their code-page-932 bytes whatever the system code page is.
inline constexpr std::wstring_view settingsSection = L"Section";
inline constexpr std::string_view keyMusicKind = "BGM\x8B\xE6\x95\xAA";          // BGM区分
inline constexpr std::string_view keyRepeatTrack = "BGM\xD8\xCB\xDF\xB0\xC4";    // BGMﾘﾋﾟｰﾄ
inline constexpr std::string_view keyMusicFile = "BGM\xCC\xA7\xB2\xD9";          // BGMﾌｧｲﾙ

// The folder of the program file as the platform reports it, without a
// trailing backslash except for a drive's root.
std::wstring programFolder();

// programFolder() + "\Solvane.ini" and + "\Solvane.dll" (plain concatenation).
std::wstring settingsFilePath();
std::wstring rendererFilePath();

// One value, at most 255 bytes; missing or empty reads as empty.
std::wstring ReadSetting(std::wstring_view section, std::string_view key, std::wstring_view filePath);
// False when the platform could not write the value; its error code is then
// the thread's last error.
bool WriteSetting(std::wstring_view section, std::string_view key, std::wstring_view value,
                  std::wstring_view filePath);

// A number in the classic text form that keeps the first character for the
// sign: " 2", "-1".
std::wstring signBlank(int value);

// Writes the three music settings in the file's order and reads them back.
// Every write is tried; the result names the first failure, so a choice that
// did not reach the file is never taken for saved.
struct SaveResult {
    bool saved = true;
    unsigned long error = 0; // the platform's code for the failed write; 0 when a value read back differs
};
SaveResult SaveSettings(std::int16_t kind, std::int16_t track, std::wstring_view file, std::wstring_view filePath);

// The music settings the settings file holds; never fails. A stored value
// that is no number leaves the one in `before` as it was.
MusicSettings LoadSettings();
MusicSettings LoadSettings(std::wstring_view filePath, MusicSettings before = {});

// True (-1) when the file can be opened for reading right now.
short FileExists(std::wstring_view path);

} // namespace solvane
