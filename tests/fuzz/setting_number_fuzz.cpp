// A settings-file value read as a number, whatever the file holds.
#include "fuzz_input.h"
#include "rules/text_rules.h"

#include <string>

using namespace solvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring value = fuzz::wideText(data, size);
    const std::optional<std::int16_t> number = settingNumber(value);
    fuzz::require(settingNumber(L"\t " + value + L" \t") == number, "blanks around a value do not count");
    if (number) {
        // The dialog writes numbers with a blank for the sign.
        const std::wstring written = (*number < 0 ? L"" : L" ") + std::to_wstring(*number);
        fuzz::require(settingNumber(written) == number, "a loaded number saved again loads the same");
        fuzz::require(!settingNumber(value + L"x"), "a letter after the number makes it no number");
    }
    return 0;
}
