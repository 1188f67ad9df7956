#include "button/property_bag.h"

#include "rules/utf8.h"

#include <algorithm>

namespace solvane {

namespace {

std::wstring escape(std::wstring_view value) {
    std::wstring out;
    for (const wchar_t c : value) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::wstring unescape(std::wstring_view value) {
    std::wstring out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'\\' && i + 1 < value.size()) {
            const wchar_t next = value[i + 1];
            if (next == L'\\' || next == L'n' || next == L'r') {
                out += next == L'n' ? L'\n' : next == L'r' ? L'\r' : L'\\';
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

} // namespace

std::optional<std::wstring> PropertyBag::read(std::wstring_view key) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; });
    if (found == entries_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PropertyBag::write(std::wstring_view key, std::wstring_view value, std::wstring_view defaultValue) {
    if (value != defaultValue) {
        set(key, value);
        return;
    }
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; });
    if (found != entries_.end()) {
        entries_.erase(found);
    }
}

void PropertyBag::set(std::wstring_view key, std::wstring_view value) {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; });
    if (found != entries_.end()) {
        found->second = value;
    } else {
        entries_.emplace_back(key, value);
    }
}

PropertyBag& FormDescription::control(std::wstring_view name) {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c.first == name; });
    if (found != controls_.end()) {
        return found->second;
    }
    return controls_.emplace_back(std::wstring(name), PropertyBag{}).second;
}

const PropertyBag* FormDescription::find(std::wstring_view name) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c.first == name; });
    return found != controls_.end() ? &found->second : nullptr;
}

FormDescription FormDescription::parse(std::string_view utf8) {
    FormDescription description;
    PropertyBag* current = nullptr;
    const std::wstring text = wideFromUtf8(utf8);
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.remove_suffix(1);
        }
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            current = &description.control(line.substr(1, line.size() - 2));
        } else if (!line.empty() && line.front() != L'#') {
            const auto equals = line.find(L'=');
            if (equals != std::wstring_view::npos && equals > 0 && current != nullptr) {
                current->set(line.substr(0, equals), unescape(line.substr(equals + 1)));
            }
        }
        start = end + 1;
    }
    return description;
}

std::string FormDescription::serialize() const {
    std::wstring text;
    for (const auto& [name, bag] : controls_) {
        text += L'[' + name + L"]\n";
        for (const auto& [key, value] : bag.entries()) {
            text += key + L'=' + escape(value) + L'\n';
        }
    }
    return utf8FromWide(text);
}

} // namespace solvane
