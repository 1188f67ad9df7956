#include "settings/file_snapshot.h"

#include "winutils/handle_owner.h"

#include <windows.h>

namespace solvane {

namespace {

struct Contents {
    bool read = false;
    std::optional<std::string> bytes; // nothing: no such file
};

Contents contentsOf(const std::wstring& path) {
    const OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND, std::nullopt};
    }
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
            return {};
        }
        if (got == 0) {
            return {true, std::move(bytes)};
        }
        bytes.append(chunk, got);
    }
}

} // namespace

FileSnapshot::FileSnapshot(std::wstring_view path) : path_(path) {
    Contents now = contentsOf(path_);
    taken_ = now.read;
    bytes_ = std::move(now.bytes);
}

bool FileSnapshot::unchanged() const {
    const Contents now = contentsOf(path_);
    return taken_ && now.read && now.bytes == bytes_;
}

bool FileSnapshot::restore() const {
    if (!taken_) {
        return false;
    }
    if (unchanged()) {
        return true;
    }
    if (!bytes_) {
        return DeleteFileW(path_.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    const OwnedHandle file(
        CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes_->size());
    return (size == 0 || (WriteFile(file.get(), bytes_->data(), size, &written, nullptr) && written == size)) &&
           SetEndOfFile(file.get()) != FALSE;
}

} // namespace solvane
