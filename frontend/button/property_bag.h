#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solvane {

// The stored properties of one control, by name, in the order written.
class PropertyBag {
public:
    std::optional<std::wstring> read(std::wstring_view key) const;

    // Stores the value, or drops the key when the value equals its default,
    // so a description holds only what differs.
    void write(std::wstring_view key, std::wstring_view value, std::wstring_view defaultValue);
    // Stores the value whatever it is.
    void set(std::wstring_view key, std::wstring_view value);

    const std::vector<std::pair<std::wstring, std::wstring>>& entries() const { return entries_; }
    bool operator==(const PropertyBag&) const = default;

private:
    std::vector<std::pair<std::wstring, std::wstring>> entries_;
};

// A form's description: one property bag per named control.
//
// Stored as UTF-8 text, one line each:
//   # comment              (ignored, as are blank lines)
//   [Cmd_Set]              starts the control of that name
//   Caption=設定           a property: key up to the first '=', then the value
// In values "\\" stands for a backslash, "\n" and "\r" for line breaks; any
// other backslash is kept as it is. Lines of no such form, and properties
// before the first control, are ignored; a repeated key keeps its last value.
class FormDescription {
public:
    static FormDescription parse(std::string_view utf8);
#ifdef _WIN32
    // Empty when the module holds no such RCDATA resource.
    static FormDescription fromResource(HMODULE module, int id);
#endif

    std::string serialize() const;

    // The control's bag, made empty when it is not there yet.
    PropertyBag& control(std::wstring_view name);
    const PropertyBag* find(std::wstring_view name) const;

    const std::vector<std::pair<std::wstring, PropertyBag>>& controls() const { return controls_; }
    bool operator==(const FormDescription&) const = default;

private:
    std::vector<std::pair<std::wstring, PropertyBag>> controls_;
};

} // namespace solvane
