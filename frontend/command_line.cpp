#include "command_line.h"

#include <windows.h>

namespace solvane {

std::wstring argumentsOf(std::wstring_view commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') {
            ++i;
        }
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) {
        ++i;
    }
    return std::wstring(commandLine.substr(i));
}

std::wstring requestLetter(std::wstring_view arguments) {
    if (arguments.size() < 2) {
        return {};
    }
    wchar_t letter[2] = {arguments[1], L'\0'};
    CharUpperBuffW(letter, 1);
    return std::wstring(1, letter[0]);
}

} // namespace solvane
