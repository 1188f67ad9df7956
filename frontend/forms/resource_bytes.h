#pragma once

#include <windows.h>

#include <string_view>

namespace solvane {

// The bytes of a raw-data resource of the module, valid as long as the
// module is loaded; empty when there is no such resource.
std::string_view resourceBytes(HMODULE module, int id);

} // namespace solvane
