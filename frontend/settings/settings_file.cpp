#include "settings/settings_file.h"

#include "contract.h"
#include "rules/text_rules.h"
#include "settings/file_snapshot.h"
#include "settings/profile_seam.h"
#include "text/ansi_text.h"
#include "text/platform_path.h"
#include "winutils/handle_owner.h"

#include <windows.h>

#include <string>
#include <utility>

namespace solvane {

namespace {

constexpr DWORD readBufferSize = 256;
constexpr std::size_t nameBufferSize = 128;

// The name with an explicit NUL, in a fixed buffer whose rest is blanks;
// only the part up to the NUL reaches the platform.
std::string fixedNameBuffer(std::string_view name) {
    std::string buffer(name.substr(0, nameBufferSize - 1));
    buffer.push_back('\0');
    buffer.resize(nameBufferSize, ' ');
    return buffer;
}

// Section names are wide text; keys are already the stored bytes.
std::string narrowName(std::wstring_view name) { return toAnsi(name); }

std::wstring_view trimBlanks(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

} // namespace

std::wstring programFolder() {
    const std::wstring path = programFilePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    // A drive's root keeps its backslash ("C:\").
    return slash == 2 && path[1] == L':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::wstring settingsFilePath() { return programFolder() + L"\\Solvane.ini"; }

std::wstring rendererFilePath() { return programFolder() + L"\\" + contract::wide(contract::rendererFile).text; }

std::wstring ReadSetting(std::wstring_view section, std::string_view key, std::wstring_view filePath) {
    const NarrowPath path = narrowPath(filePath);
    if (!path.usable()) {
        return {};
    }
    const std::string narrowSection = narrowName(section);
    const std::string narrowKey(key);
    char buffer[readBufferSize] = {};
    GetPrivateProfileStringA(narrowSection.c_str(), narrowKey.c_str(), "", buffer, readBufferSize, path.text.c_str());
    return fromAnsiBuffer(buffer, readBufferSize);
}

bool WriteSetting(std::wstring_view section, std::string_view key, std::wstring_view value,
                  std::wstring_view filePath) {
    const NarrowPath path = narrowPath(filePath);
    if (!path.usable()) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    const std::string sectionBuffer = fixedNameBuffer(narrowName(section));
    const std::string keyBuffer = fixedNameBuffer(key);
    const std::string narrowValue = toAnsi(value);
    return profileWriteSeam().writeString(sectionBuffer.c_str(), keyBuffer.c_str(), narrowValue.c_str(),
                                          path.text.c_str()) != FALSE;
}

namespace {

// The three values in the file's order, every one checked as it is written
// and all read back as the loader would read them.
SaveResult writeAll(std::int16_t kind, std::int16_t track, std::wstring_view storedFile, std::wstring_view filePath) {
    const std::pair<std::string_view, std::wstring> values[] = {
        {keyMusicKind, signBlank(kind)}, {keyRepeatTrack, signBlank(track)}, {keyMusicFile, std::wstring(storedFile)}};
    for (const auto& [key, value] : values) {
        if (!WriteSetting(settingsSection, key, value, filePath)) {
            return {SaveFault::WriteFailed, GetLastError()};
        }
    }
    // The profile functions drop the blanks around a value.
    const bool readBack = settingNumber(ReadSetting(settingsSection, keyMusicKind, filePath)) == kind &&
                          settingNumber(ReadSetting(settingsSection, keyRepeatTrack, filePath)) == track &&
                          trimBlanks(ReadSetting(settingsSection, keyMusicFile, filePath)) == trimBlanks(storedFile);
    return readBack ? SaveResult{} : SaveResult{SaveFault::ReadBackDiffers};
}

} // namespace

SaveResult SaveSettings(std::int16_t kind, std::int16_t track, std::wstring_view file, std::wstring_view filePath) {
    if (!narrowPath(filePath).usable()) {
        return {SaveFault::SettingsPathUnwritable};
    }
    // The music file is stored in the form the narrow calls will be given.
    std::wstring storedFile;
    if (!file.empty()) {
        const NarrowPath music = narrowPath(file);
        if (!music.usable()) {
            return {SaveFault::MusicPathUnwritable};
        }
        storedFile = fromAnsi(music.text);
    }
    const FileSnapshot before(filePath);
    SaveResult result = writeAll(kind, track, storedFile, filePath);
    if (!result.saved()) {
        result.restored = before.restore();
    }
    return result;
}

std::wstring signBlank(int value) { return (value < 0 ? L"" : L" ") + std::to_wstring(value); }

MusicSettings LoadSettings() { return LoadSettings(settingsFilePath()); }

MusicSettings LoadSettings(std::wstring_view filePath, MusicSettings before) {
    MusicSettings music = std::move(before);
    const std::wstring kind = ReadSetting(settingsSection, keyMusicKind, filePath);
    // A value that is no number leaves the setting as it was.
    if (kind.empty()) {
        music.BGM_Kind = 0;
    } else {
        music.BGM_Kind = settingNumber(kind).value_or(music.BGM_Kind);
    }

    const std::wstring track = ReadSetting(settingsSection, keyRepeatTrack, filePath);
    if (track.empty()) {
        music.BGM_Track = 0;
    } else {
        music.BGM_Track = settingNumber(track).value_or(music.BGM_Track);
    }

    const std::wstring file = ReadSetting(settingsSection, keyMusicFile, filePath);
    // A file that can no longer be opened is forgotten, whatever the source.
    if (file.empty() || !FileExists(file)) {
        music.BGM_File.clear();
        if (music.BGM_Kind == 2) {
            music.BGM_Kind = 0;
        }
        return music;
    }
    music.BGM_File = file;
    return music;
}

short FileExists(std::wstring_view path) {
    std::wstring name(path);
    if (!name.empty() && name.back() == L'\\') {
        name.pop_back();
    }
    if (name.empty()) {
        return 0;
    }
    const OwnedHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? -1 : 0;
}

} // namespace solvane
