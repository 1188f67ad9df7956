// Restoring and saving the button's properties. A stored value that cannot
// be read as its type is skipped: the property keeps what it held.
#include "button/command.h"
#include "button/ole_colour.h"
#include "rules/text_rules.h"

#include <cstdint>
#include <optional>
#include <string>

namespace solvane {

namespace {

constexpr wchar_t defaultCaptionRead[] = L"Command1";
constexpr wchar_t defaultCaptionWritten[] = L"Command";

std::wstring stored(const PropertyBag& bag, const wchar_t* key, const wchar_t* defaultValue) {
    return bag.read(key).value_or(defaultValue);
}

} // namespace

void Command::ReadProperties(const PropertyBag& bag, const FontRef& dialogFont) {
    if (const auto enabled = storedFlag(stored(bag, L"Enabled", L"-1"))) {
        setEnabledValue(*enabled ? -1 : 0);
    }
    LblMsg.caption = stored(bag, L"Caption", defaultCaptionRead);
    if (const auto text = bag.read(L"Font")) {
        if (const auto description = parseFont(*text)) {
            LblMsg.font = makeFont(*description);
        }
    } else if (dialogFont != nullptr) {
        LblMsg.font = dialogFont;
    }
    if (const auto firstRun = storedInteger(stored(bag, L"FirstRun", L"1"));
        firstRun && *firstRun >= 0 && *firstRun <= 255) {
        firstRun_ = static_cast<std::uint8_t>(*firstRun);
    }
    // Colours are stored as signed 32-bit numbers, system colours negative.
    if (const auto colour = storedInteger(stored(bag, L"FontColour", L"0"));
        colour && *colour >= INT32_MIN && *colour <= INT32_MAX) {
        const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(*colour));
        if (resolveColour(bits)) {
            LblMsg.colour = bits;
        }
    }
    if (const auto style = storedInteger(stored(bag, L"Visible", L"1")); style && (*style == 0 || *style == 1)) {
        backStyle_ = static_cast<std::int16_t>(*style);
    }
    updateRegion();
    RefreshLook();
}

void Command::WriteProperties(PropertyBag& bag, const FontRef& dialogFont) {
    bag.write(L"Enabled", enabledValue_ != 0 ? L"-1" : L"0", L"-1");
    bag.write(L"Caption", LblMsg.caption, defaultCaptionWritten);
    bag.write(L"FirstRun", std::to_wstring(firstRun_), L"1");
    const std::wstring font = LblMsg.font != nullptr ? formatFont(LblMsg.font->description()) : L"";
    bag.write(L"Font", font, dialogFont != nullptr ? formatFont(dialogFont->description()) : L"");
    bag.write(L"FontColour", std::to_wstring(static_cast<std::int32_t>(LblMsg.colour)), L"0");
    bag.write(L"Visible", std::to_wstring(backStyle_), L"1");
    RefreshLook();
}

} // namespace solvane
