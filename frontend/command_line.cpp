#include "command_line.h"

#include "text/platform_path.h"

#include <windows.h>

#include <algorithm>

namespace solvane {

namespace {

// Upper-cased as the file system compares names; one UTF-16 unit each way,
// so positions stay where they were.
std::wstring upper(std::wstring_view text) {
    std::wstring folded(text);
    if (!folded.empty()) {
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    }
    return folded;
}

} // namespace

std::vector<std::wstring> ownProgramPaths() {
    const std::wstring path = programFilePath();
    std::vector<std::wstring> paths{path, longPathOf(path), shortPathOf(path)};
    std::erase_if(paths, [](const std::wstring& p) { return p.empty(); });
    return paths;
}

std::wstring argumentsOf(std::wstring_view commandLine, std::span<const std::wstring> ownPaths) {
    std::vector<std::wstring> folded;
    folded.reserve(ownPaths.size());
    for (const std::wstring& path : ownPaths) {
        folded.push_back(upper(path));
    }
    const std::vector<std::wstring_view> views(folded.begin(), folded.end());
    return std::wstring(commandLine.substr(argumentTextStart(upper(commandLine), views)));
}

std::wstring argumentsOf(std::wstring_view commandLine) { return argumentsOf(commandLine, ownProgramPaths()); }

std::wstring requestLetter(std::wstring_view arguments) {
    if (arguments.size() < 2) {
        return {};
    }
    wchar_t letter[2] = {arguments[1], L'\0'};
    CharUpperBuffW(letter, 1);
    return std::wstring(1, letter[0]);
}

} // namespace solvane
