#pragma once

#include <string>
#include <string_view>

namespace solvane {

// UTF-8 to wide text and back, the same on every build: UTF-16 where
// wchar_t has 16 bits (Windows), UTF-32 where it has 32. A byte sequence
// that is not UTF-8, and a lone surrogate, become U+FFFD.
std::wstring wideFromUtf8(std::string_view bytes);
std::string utf8FromWide(std::wstring_view text);

} // namespace solvane
