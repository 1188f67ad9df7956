// The preview host's handle read from any command line.
#include "fuzz_input.h"
#include "rules/text_rules.h"

#include <string>

using namespace solvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring arguments = fuzz::wideText(data, size);
    const std::int32_t handle = hostHandleOf(arguments);
    if (arguments.size() < 3) {
        fuzz::require(handle == 0, "a line too short for a handle reads 0");
        return 0;
    }
    fuzz::require(hostHandleOf(L"/p:" + arguments.substr(3)) == handle, "the first three characters do not count");
    const std::size_t at = 3 + (size > 0 ? data[0] : 0) % (arguments.size() - 2);
    std::wstring spaced = arguments;
    spaced.insert(at, L" \t\n");
    fuzz::require(hostHandleOf(spaced) == handle, "blanks anywhere in the number are ignored");
    fuzz::require(hostHandleOf(L"/p " + std::to_wstring(handle)) == handle, "the handle written out reads back");
    return 0;
}
