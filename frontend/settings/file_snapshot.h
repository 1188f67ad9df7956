#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace solvane {

// A file's bytes as they were (or that there was no file), to put back when
// a change made through other calls fails halfway.
class FileSnapshot {
public:
    explicit FileSnapshot(std::wstring_view path);

    // False when the file exists but could not be read.
    bool taken() const { return taken_; }

    // The file holds what it held (or is still absent).
    bool unchanged() const;

    // Puts back what the file held, or removes a file that was not there;
    // true when the file is as it was.
    bool restore() const;

private:
    std::wstring path_;
    bool taken_ = false;
    std::optional<std::string> bytes_; // nothing: there was no file
};

} // namespace solvane
