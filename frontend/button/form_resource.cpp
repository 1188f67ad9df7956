#include "button/property_bag.h"

namespace solvane {

FormDescription FormDescription::fromResource(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return parse(std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)));
}

} // namespace solvane
