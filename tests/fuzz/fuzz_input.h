#pragma once

// Turns fuzzer bytes into the front end's wide text, and checks properties
// so that a broken one ends the run as a crash does.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace solvane::fuzz {

// Bytes below 0xF0 are characters of their own; a byte from 0xF0 up takes
// the next two as one 16-bit character, so any character can be reached.
inline std::wstring wideText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0xF0 || i + 2 >= size) {
            text += static_cast<wchar_t>(data[i]);
        } else {
            text += static_cast<wchar_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        }
    }
    return text;
}

inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

} // namespace solvane::fuzz
