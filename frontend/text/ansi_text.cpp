#include "text/ansi_text.h"

#include <windows.h>

#include <cstring>

namespace solvane {

std::string toAnsi(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, bytes.data(), size, nullptr, nullptr);
    }
    return bytes;
}

std::optional<std::string> toAnsiExactly(std::wstring_view text) {
    if (text.empty()) {
        return std::string();
    }
    // UTF-8 as the system code page takes neither the flag nor the question.
    // The installer checks its folder by the same rule (SurvivesCodePage in
    // packaging/folder.nsh); the two must agree.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int wideLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, bytes.data(), size, nullptr,
                        utf8 ? nullptr : &usedDefault);
    if (usedDefault || fromAnsi(bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

std::wstring fromAnsi(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.empty()) {
        return {};
    }
    const int narrowLength = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), narrowLength, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), narrowLength, text.data(), size);
    }
    return text;
}

std::wstring fromAnsiBuffer(const char* buffer, std::size_t size) {
    const void* nul = std::memchr(buffer, '\0', size);
    const std::size_t length = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : size;
    return fromAnsi(std::string_view(buffer, length));
}

} // namespace solvane
