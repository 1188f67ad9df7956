#pragma once

#include <windows.h>

namespace solvane {

// The function `name` of a loaded module, typed as `Function` (a function
// type: decltype(GetDpiForWindow), or one written out); null where the
// module, or the function in it, is missing.
template <typename Function>
Function* moduleFunction(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A system function looked up at run time because older Windows lacks it:
// importing it would keep the program from starting there. `module` is a
// system module the program imports from anyway (user32.dll, kernel32.dll),
// so nothing is loaded here. Null where the system has no such function.
template <typename Function>
Function* systemFunction(const wchar_t* module, const char* name) {
    return moduleFunction<Function>(GetModuleHandleW(module), name);
}

} // namespace solvane
