// Any bytes as a stored form description.
#include "button/property_bag.h"
#include "fuzz_input.h"

#include <string>
#include <string_view>

using namespace solvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stored(reinterpret_cast<const char*>(data), size);
    const FormDescription parsed = FormDescription::parse(stored);
    const std::string written = parsed.serialize();
    const FormDescription again = FormDescription::parse(written);
    fuzz::require(again == parsed, "a description written out reads back the same");
    fuzz::require(again.serialize() == written, "writing what was read back gives the same text");
    for (const auto& [name, bag] : parsed.controls()) {
        for (const auto& [key, value] : bag.entries()) {
            fuzz::require(!key.empty() && key.find(L'=') == std::wstring::npos, "a key is never empty nor holds =");
            fuzz::require(bag.read(key) == value, "a key reads its own value");
        }
    }
    return 0;
}
