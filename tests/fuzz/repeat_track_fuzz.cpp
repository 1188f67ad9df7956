// The repeat box's text, whatever is typed, as a track.
#include "fuzz_input.h"
#include "rules/text_rules.h"

#include <string>

using namespace solvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::wideText(data, size);
    const std::int16_t track = repeatTrackFrom(text);
    fuzz::require(repeatTrackFrom(L" " + text + L"\t") == track, "blanks around the text do not count");
    fuzz::require(repeatTrackFrom(std::to_wstring(track)) == track, "the track written out reads back");
    const std::optional<std::int16_t> floored = settingNumber(text);
    if (floored && track != 0) {
        fuzz::require(track == *floored || track == *floored + 1, "rounding and flooring differ by at most one");
    }
    return 0;
}
