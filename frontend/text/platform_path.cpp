#include "text/platform_path.h"

#include "text/ansi_text.h"

#include <windows.h>

#include <optional>

namespace solvane {

namespace {

// A platform call that fills a buffer and returns the length it needs when
// the buffer is too small, or 0 on failure.
template <typename Fill>
std::wstring filled(Fill fill) {
    std::wstring result(MAX_PATH, L'\0');
    DWORD length = fill(result.data(), static_cast<DWORD>(result.size()));
    if (length >= result.size()) {
        result.resize(length);
        length = fill(result.data(), static_cast<DWORD>(result.size()));
    }
    result.resize(length < result.size() ? length : 0);
    return result;
}

std::wstring platformShortForm(const std::wstring& path) {
    return filled([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

} // namespace

std::wstring programFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring longPathOf(std::wstring_view path) {
    const std::wstring name(path);
    return filled([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(name.c_str(), buffer, size); });
}

std::wstring shortPathOf(std::wstring_view path) {
    std::wstring existing(path);
    std::wstring rest;
    for (;;) {
        const std::wstring found = platformShortForm(existing);
        if (!found.empty()) {
            return found + rest;
        }
        const DWORD error = GetLastError();
        const std::size_t slash = existing.find_last_of(L"\\/");
        // Nothing left to climb once the root itself has failed.
        if ((error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) || slash == std::wstring::npos ||
            slash == 0 || slash + 1 == existing.size()) {
            return {};
        }
        rest.insert(0, existing, slash, std::wstring::npos);
        existing.resize(slash);
        // A drive's root is "C:\", not "C:".
        if (existing.size() == 2 && existing[1] == L':') {
            existing.push_back(L'\\');
            rest.erase(0, 1);
        }
    }
}

NarrowPath narrowPath(std::wstring_view path) {
    if (path.find(L'\0') != std::wstring_view::npos) {
        return {{}, NarrowPathFault::EmbeddedNul};
    }
    if (std::optional<std::string> exact = toAnsiExactly(path)) {
        return {std::move(*exact)};
    }
    const std::wstring shortForm = shortPathOf(path);
    if (!shortForm.empty()) {
        if (std::optional<std::string> exact = toAnsiExactly(shortForm)) {
            return {std::move(*exact)};
        }
    }
    return {{}, NarrowPathFault::OutsideCodePage};
}

NarrowPath narrowQuotedPath(std::wstring_view path) {
    NarrowPath narrow = narrowPath(path);
    if (narrow.usable() && narrow.text.find('"') != std::string::npos) {
        return {{}, NarrowPathFault::DoubleQuote};
    }
    return narrow;
}

} // namespace solvane
