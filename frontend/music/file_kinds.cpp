#include "music/file_kinds.h"

#include "rules/text_rules.h"

namespace solvane {

namespace {

constexpr std::size_t endingLength = 3;

// Every kind's ending, each after `before`, with `between` between them.
std::wstring endings(std::wstring_view before, std::wstring_view between) {
    std::wstring text;
    for (const FileKind& kind : fileKinds) {
        if (!text.empty()) {
            text += between;
        }
        text += before;
        text += kind.ending;
    }
    return text;
}

} // namespace

const FileKind* fileKindOf(std::wstring_view file) {
    if (file.size() < endingLength) {
        return nullptr;
    }
    const std::wstring_view ending = file.substr(file.size() - endingLength);
    for (const FileKind& kind : fileKinds) {
        if (equalsIgnoringAsciiCase(ending, kind.ending)) {
            return &kind;
        }
    }
    return nullptr;
}

std::wstring fileKindFilter() {
    std::wstring filter = L"BGMﾌｧｲﾙ (" + endings(L"", L" ") + L")";
    filter += L'\0';
    filter += endings(L"*.", L";");
    filter += L'\0';
    return filter;
}

std::wstring fileKindLabel() { return endings(L"", L"、"); }

} // namespace solvane
