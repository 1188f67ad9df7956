#include "winutils/library_search.h"

#include "winutils/system_function.h"

#include <windows.h>

namespace solvane {

void searchLibrariesInSystemFolderOnly() {
    if (const auto setDefaultDllDirectories =
            systemFunction<decltype(SetDefaultDllDirectories)>(L"kernel32.dll", "SetDefaultDllDirectories")) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

} // namespace solvane
