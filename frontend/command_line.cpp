#include "command_line.h"

#include <windows.h>

#include <cfenv>
#include <cmath>
#include <cstdlib>

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

std::int32_t hostHandleOf(std::wstring_view arguments) {
    if (arguments.size() < 4) {
        return 0;
    }
    // Keep the characters that can form a number, skipping blanks anywhere,
    // and stop at the first that cannot continue it.
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    for (wchar_t c : arguments.substr(3)) {
        if (c == L' ' || c == L'\t' || c == L'\n') {
            continue;
        }
        const char last = number.empty() ? '\0' : number.back();
        if (c >= L'0' && c <= L'9') {
            digits = true;
        } else if ((c == L'+' || c == L'-') && (number.empty() || last == 'E')) {
        } else if (c == L'.' && !point && !exponent) {
            point = true;
        } else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && digits && !exponent) {
            exponent = true;
            c = L'E';
        } else {
            break;
        }
        number.push_back(static_cast<char>(c));
    }
    if (!digits) {
        return 0;
    }
    // An exponent without digits of its own does not count.
    while (!number.empty() && (number.back() == 'E' || number.back() == '+' || number.back() == '-')) {
        number.pop_back();
    }
    const double value = std::strtod(number.c_str(), nullptr);
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace solvane
