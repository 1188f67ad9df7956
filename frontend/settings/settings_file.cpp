#include "settings/settings_file.h"

#include "contract.h"
#include "rules/text_rules.h"
#include "text/ansi_text.h"

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
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
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
    const std::string narrowSection = narrowName(section);
    const std::string narrowKey(key);
    const std::string narrowPath = toAnsi(filePath);
    char buffer[readBufferSize] = {};
    GetPrivateProfileStringA(narrowSection.c_str(), narrowKey.c_str(), "", buffer, readBufferSize, narrowPath.c_str());
    return fromAnsiBuffer(buffer, readBufferSize);
}

bool WriteSetting(std::wstring_view section, std::string_view key, std::wstring_view value,
                  std::wstring_view filePath) {
    const std::string sectionBuffer = fixedNameBuffer(narrowName(section));
    const std::string keyBuffer = fixedNameBuffer(key);
    const std::string narrowValue = toAnsi(value);
    const std::string narrowPath = toAnsi(filePath);
    return WritePrivateProfileStringA(sectionBuffer.c_str(), keyBuffer.c_str(), narrowValue.c_str(),
                                      narrowPath.c_str()) != FALSE;
}

SaveResult SaveSettings(std::int16_t kind, std::int16_t track, std::wstring_view file, std::wstring_view filePath) {
    SaveResult result;
    const auto write = [&](std::string_view key, std::wstring_view value) {
        if (!WriteSetting(settingsSection, key, value, filePath) && result.saved) {
            result = {false, GetLastError()};
        }
    };
    write(keyMusicKind, signBlank(kind));
    write(keyRepeatTrack, signBlank(track));
    write(keyMusicFile, file);
    if (!result.saved) {
        return result;
    }
    // The profile functions drop the blanks around a value; what the loader
    // would make of the stored text must be what was chosen.
    const bool readBack =
        settingNumber(ReadSetting(settingsSection, keyMusicKind, filePath)) == kind &&
        settingNumber(ReadSetting(settingsSection, keyRepeatTrack, filePath)) == track &&
        trimBlanks(ReadSetting(settingsSection, keyMusicFile, filePath)) == trimBlanks(file);
    return readBack ? result : SaveResult{false, 0};
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
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    CloseHandle(file);
    return -1;
}

} // namespace solvane
