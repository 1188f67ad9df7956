#pragma once

#include <windows.h>

#include <utility>

namespace solvane {

// A handle freed by `close` when its one owner goes. A failed call gives
// null, or INVALID_HANDLE_VALUE where it opens a file: both hold nothing.
template <typename Handle, BOOL(WINAPI* close)(Handle)>
class HandleOwner {
public:
    HandleOwner() = default;
    explicit HandleOwner(Handle handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~HandleOwner() {
        if (handle_ != nullptr) {
            close(handle_);
        }
    }
    HandleOwner(HandleOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    HandleOwner& operator=(HandleOwner&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

// A kernel object: a file, a process, a thread.
using OwnedHandle = HandleOwner<HANDLE, CloseHandle>;
// A module the program loaded itself.
using OwnedModule = HandleOwner<HMODULE, FreeLibrary>;

} // namespace solvane
