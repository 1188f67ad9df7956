#include "screen_reader.h"

#include <iterator>
#include <utility>

namespace solvane::reader {

using Microsoft::WRL::ComPtr;

namespace {

VARIANT self() {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

std::wstring take(BSTR text) {
    std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

Element read(IAccessible& object, const VARIANT& child) {
    Element element;
    BSTR text = nullptr;
    if (SUCCEEDED(object.get_accName(child, &text))) {
        element.name = take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object.get_accValue(child, &text))) {
        element.value = take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object.get_accDefaultAction(child, &text))) {
        element.defaultAction = take(text);
    }
    VARIANT number;
    VariantInit(&number);
    if (SUCCEEDED(object.get_accRole(child, &number)) && number.vt == VT_I4) {
        element.role = number.lVal;
    }
    VariantClear(&number);
    if (SUCCEEDED(object.get_accState(child, &number)) && number.vt == VT_I4) {
        element.state = number.lVal;
    }
    VariantClear(&number);
    return element;
}

// The children of a full object, each read with its own children.
template <typename Visit>
void children(IAccessible& object, Visit visit) {
    LONG count = 0;
    if (FAILED(object.get_accChildCount(&count)) || count <= 0) {
        return;
    }
    std::vector<VARIANT> found(static_cast<std::size_t>(count));
    LONG obtained = 0;
    if (FAILED(AccessibleChildren(&object, 0, count, found.data(), &obtained))) {
        return;
    }
    for (LONG i = 0; i < obtained; ++i) {
        VARIANT& child = found[static_cast<std::size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
            ComPtr<IAccessible> full;
            child.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(full.GetAddressOf()));
            if (full) {
                visit(*full.Get(), self(), true);
            }
        } else if (child.vt == VT_I4) {
            visit(object, child, false);
        }
        VariantClear(&child);
    }
}

Element readWithChildren(IAccessible& object, const VARIANT& child, bool full) {
    Element element = read(object, child);
    if (full) {
        children(object, [&](IAccessible& next, const VARIANT& id, bool nextFull) {
            element.children.push_back(readWithChildren(next, id, nextFull));
        });
    }
    return element;
}

ComPtr<IAccessible> clientOf(HWND window) {
    ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

std::optional<Found> search(IAccessible& object, const VARIANT& child, bool full, long role, std::wstring_view name) {
    const Element element = read(object, child);
    if (element.role == role && element.name == name) {
        Found found;
        found.object = &object;
        found.child = child;
        return found;
    }
    std::optional<Found> result;
    if (full) {
        children(object, [&](IAccessible& next, const VARIANT& id, bool nextFull) {
            if (!result) {
                result = search(next, id, nextFull, role, name);
            }
        });
    }
    return result;
}

} // namespace

std::optional<Element> readTree(HWND window) {
    ComPtr<IAccessible> object = clientOf(window);
    if (!object) {
        return std::nullopt;
    }
    return readWithChildren(*object.Get(), self(), true);
}

std::wstring roleWord(long role) {
    switch (role) {
    case ROLE_SYSTEM_WINDOW:
        return L"window";
    case ROLE_SYSTEM_CLIENT:
        return L"client";
    case ROLE_SYSTEM_DIALOG:
        return L"dialog";
    case ROLE_SYSTEM_GROUPING:
        return L"grouping";
    case ROLE_SYSTEM_STATICTEXT:
        return L"static text";
    case ROLE_SYSTEM_TEXT:
        return L"editable text";
    case ROLE_SYSTEM_PUSHBUTTON:
        return L"push button";
    case ROLE_SYSTEM_RADIOBUTTON:
        return L"radio button";
    case ROLE_SYSTEM_COMBOBOX:
        return L"combo box";
    case ROLE_SYSTEM_LIST:
        return L"list";
    default:
        return L"role " + std::to_wstring(role);
    }
}

namespace {

std::wstring stateWords(long state) {
    // The bits in the order of their values, as the platform names them.
    static const wchar_t* const names[] = {L"unavailable",
                                           L"selected",
                                           L"focused",
                                           L"pressed",
                                           L"checked",
                                           L"mixed",
                                           L"read only",
                                           L"hot tracked",
                                           L"default",
                                           L"expanded",
                                           L"collapsed",
                                           L"busy",
                                           L"floating",
                                           L"marqueed",
                                           L"animated",
                                           L"invisible",
                                           L"offscreen",
                                           L"sizeable",
                                           L"moveable",
                                           L"self voicing",
                                           L"focusable",
                                           L"selectable",
                                           L"linked",
                                           L"traversed",
                                           L"multiple selectable",
                                           L"extended selectable",
                                           L"alert low",
                                           L"alert medium",
                                           L"alert high",
                                           L"protected",
                                           L"has popup"};
    std::wstring words;
    for (std::size_t bit = 0; bit < std::size(names); ++bit) {
        if ((state & (1L << bit)) != 0) {
            words += (words.empty() ? L"" : L" ") + std::wstring(names[bit]);
        }
    }
    return words;
}

} // namespace

std::wstring describe(const Element& element, int depth) {
    std::wstring line(static_cast<std::size_t>(depth) * 2, L' ');
    line += roleWord(element.role) + L" \"" + element.name + L"\"";
    if (element.state != 0) {
        line += L" [" + stateWords(element.state) + L"]";
    }
    if (!element.value.empty()) {
        line += L" = " + element.value;
    }
    line += L"\n";
    for (const Element& child : element.children) {
        line += describe(child, depth + 1);
    }
    return line;
}

std::optional<Found> find(HWND window, long role, std::wstring_view name) {
    ComPtr<IAccessible> object = clientOf(window);
    if (!object) {
        return std::nullopt;
    }
    return search(*object.Get(), self(), true, role, name);
}

HRESULT doDefaultAction(HWND window, long role, std::wstring_view name) {
    const std::optional<Found> found = find(window, role, name);
    return found ? found->object->accDoDefaultAction(found->child) : E_INVALIDARG;
}

} // namespace solvane::reader
