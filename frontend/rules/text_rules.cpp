#include "rules/text_rules.h"

#include "rules/decimal_number.h"

#include <cmath>
#include <cstdint>

namespace solvane {

namespace {

// The separator after the request letter is skipped whatever it is.
constexpr std::size_t hostHandleStart = 3;

constexpr double largestFontPoints = 1638;

wchar_t upperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::size_t pastBlanks(std::wstring_view text, std::size_t i) {
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

bool equalsIgnoringAsciiCase(std::wstring_view text, std::wstring_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(word[i])) {
            return false;
        }
    }
    return true;
}

std::size_t argumentTextStart(std::wstring_view commandLine, std::span<const std::wstring_view> ownPaths) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        return pastBlanks(commandLine, close == std::wstring_view::npos ? commandLine.size() : close + 1);
    }
    std::size_t longest = 0;
    for (const std::wstring_view path : ownPaths) {
        const bool ends = commandLine.size() == path.size() ||
                          (commandLine.size() > path.size() && isBlank(commandLine[path.size()]));
        if (!path.empty() && path.size() > longest && ends &&
            equalsIgnoringAsciiCase(commandLine.substr(0, path.size()), path)) {
            longest = path.size();
        }
    }
    if (longest > 0) {
        return pastBlanks(commandLine, longest);
    }
    std::size_t i = 0;
    while (i < commandLine.size() && !isBlank(commandLine[i])) {
        ++i;
    }
    return pastBlanks(commandLine, i);
}

std::int32_t hostHandleOf(std::wstring_view arguments) {
    if (arguments.size() <= hostHandleStart) {
        return 0;
    }
    const std::optional<double> number = leadingNumber(arguments.substr(hostHandleStart));
    if (!number) {
        return 0;
    }
    const double rounded = roundHalfEven(*number);
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> settingNumber(std::wstring_view value) {
    const std::optional<double> number = wholeNumber(value);
    if (!number) {
        return std::nullopt;
    }
    const double floored = std::floor(*number);
    if (!(floored >= INT16_MIN && floored <= INT16_MAX)) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(floored);
}

std::int16_t repeatTrackFrom(std::wstring_view text) {
    const std::optional<double> number = wholeNumber(text);
    if (!number) {
        return 0;
    }
    const double rounded = roundHalfEven(*number);
    return rounded >= INT16_MIN && rounded <= INT16_MAX ? static_cast<std::int16_t>(rounded) : std::int16_t{0};
}

bool cdReplyFailed(std::wstring_view reply) {
    // Only ASCII letters fold onto E and R.
    for (std::size_t i = 0; i + 3 <= reply.size(); ++i) {
        if (equalsIgnoringAsciiCase(reply.substr(i, 3), L"ERR")) {
            return true;
        }
    }
    return false;
}

std::optional<double> cdReplyNumber(std::wstring_view reply) {
    // Too large for any number is a failed reading, not a track.
    const std::optional<double> number = wholeNumber(reply);
    if (!number || std::isinf(*number)) {
        return std::nullopt;
    }
    return number;
}

std::optional<double> fontPointsFrom(std::wstring_view text) {
    const std::optional<double> points = wholeNumber(text);
    if (!points || !(*points > 0 && *points <= largestFontPoints)) {
        return std::nullopt;
    }
    return points;
}

std::optional<int> fontFieldFrom(std::wstring_view text, int low, int high) {
    const std::optional<double> number = wholeNumber(text);
    if (!number || *number != std::floor(*number) || *number < low || *number > high) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

std::optional<std::int64_t> storedInteger(std::wstring_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // Gathered below zero, where 64 bits reach one further.
    std::int64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        const int digit = c - L'0';
        if (value < (INT64_MIN + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == INT64_MIN) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

std::optional<bool> storedFlag(std::wstring_view text) {
    if (equalsIgnoringAsciiCase(text, L"True")) {
        return true;
    }
    if (equalsIgnoringAsciiCase(text, L"False")) {
        return false;
    }
    const std::optional<std::int64_t> number = storedInteger(text);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0;
}

} // namespace solvane
