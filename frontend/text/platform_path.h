#pragma once

#include <string>
#include <string_view>

namespace solvane {

// The program file's path as the platform reports it.
std::wstring programFilePath();

// The long and the short (8.3) form of a path; empty when the platform has
// none. The short form of a path that does not exist yet is that of its
// nearest existing folder with the rest appended as it stands.
std::wstring longPathOf(std::wstring_view path);
std::wstring shortPathOf(std::wstring_view path);

// Why a path cannot reach a narrow platform call.
enum class NarrowPathFault {
    None,
    EmbeddedNul,     // the narrow text would end early
    OutsideCodePage, // neither the long nor the short form can be written in the code page
    DoubleQuote,     // inside a quoted MCI path it would end the path
};

// A path in the system's ANSI code page that names the same file: the long
// form where the code page can write it, else the file's short form, which
// is plain ASCII where the volume makes short names.
struct NarrowPath {
    std::string text;
    NarrowPathFault fault = NarrowPathFault::None;
    bool usable() const { return fault == NarrowPathFault::None; }
};

NarrowPath narrowPath(std::wstring_view path);

// The same for a path the MCI gets between double quotes.
NarrowPath narrowQuotedPath(std::wstring_view path);

} // namespace solvane
