#pragma once

#include <windows.h>

#include <memory>

namespace solvane {

// Who frees the object behind a window.
enum class WindowLifetime {
    // The object outlives its window, which never frees it. The creation
    // parameter is the object.
    borrowed,
    // The window owns the object and frees it at WM_NCDESTROY. The creation
    // parameter is the address of the opener's std::unique_ptr, emptied at
    // WM_NCCREATE: until then the opener holds the object, so a window never
    // made leaves it there.
    owned,
};

// The object behind a window, as one message of its window procedure finds
// it through the window's user data: attached at WM_NCCREATE from the
// creation parameter, detached at WM_NCDESTROY; messages before and after
// find none. An owned object is freed as the owner of WM_NCDESTROY goes, once
// the procedure has handled its last message. Wide and ANSI windows keep
// their user data and creation parameter alike.
template <typename Object, WindowLifetime lifetime>
class WindowOwner {
public:
    // `handle`, where given, is the object's note of its window: set at
    // WM_NCCREATE, cleared at WM_NCDESTROY.
    WindowOwner(HWND window, UINT message, LPARAM lParam, HWND Object::*handle = nullptr)
        : object_(message == WM_NCCREATE ? attach(window, lParam)
                                         : reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA))),
          last_(message == WM_NCDESTROY) {
        if (object_ == nullptr) {
            return;
        }
        if (handle != nullptr && message == WM_NCCREATE) {
            object_->*handle = window;
        }
        if (last_) {
            if (handle != nullptr) {
                object_->*handle = nullptr;
            }
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        }
    }
    ~WindowOwner() {
        if constexpr (lifetime == WindowLifetime::owned) {
            if (last_) {
                delete object_;
            }
        }
    }
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;

    explicit operator bool() const { return object_ != nullptr; }
    Object* operator->() const { return object_; }

private:
    static Object* attach(HWND window, LPARAM lParam) {
        // Both forms' creation structures begin with the creation parameter.
        void* parameter = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
        Object* object = nullptr;
        if constexpr (lifetime == WindowLifetime::owned) {
            object = parameter != nullptr ? static_cast<std::unique_ptr<Object>*>(parameter)->release() : nullptr;
        } else {
            object = static_cast<Object*>(parameter);
        }
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }

    Object* object_;
    bool last_;
};

} // namespace solvane
