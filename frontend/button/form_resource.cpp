#include "button/property_bag.h"
#include "forms/resource_bytes.h"

namespace solvane {

FormDescription FormDescription::fromResource(HMODULE module, int id) {
    const std::string_view bytes = resourceBytes(module, id);
    return bytes.empty() ? FormDescription{} : parse(bytes);
}

} // namespace solvane
