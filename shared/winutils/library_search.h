#pragma once

namespace solvane {

// From here on, libraries loaded by name (by the program or by the system on
// its behalf) are looked for in the system folder only, not in the program's
// folder, the current folder or the folders on PATH. Only where the system
// can be told so (Windows 8, and 7 with its update); elsewhere nothing changes.
void searchLibrariesInSystemFolderOnly();

} // namespace solvane
