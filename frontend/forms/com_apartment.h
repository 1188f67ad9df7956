#pragma once

#include <objbase.h>

namespace solvane {

// This thread in a single-threaded COM apartment for as long as the owner
// lives: screen readers reach the forms' accessible objects through it.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (entered_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

} // namespace solvane
