#include "forms/accessible.h"

#include <wrl/client.h>

#include <optional>
#include <string_view>

namespace solvane {

using Microsoft::WRL::ComPtr;

RECT AccessibleContent::bounds(int) const {
    RECT client{};
    GetClientRect(window(), &client);
    return client;
}

void notifyAccessible(DWORD event, HWND window, int part) {
    if (window != nullptr) {
        NotifyWinEvent(event, window, OBJID_CLIENT, part);
    }
}

namespace {

// The client object of a window, as a reader would get it.
template <typename Interface>
ComPtr<Interface> clientObject(HWND window) {
    ComPtr<Interface> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(Interface),
                               reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

HRESULT text(std::wstring_view value, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (value.empty()) {
        return S_FALSE;
    }
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

VARIANT number(long value) {
    VARIANT result;
    VariantInit(&result);
    result.vt = VT_I4;
    result.lVal = value;
    return result;
}

// A child as a VARIANT: the object of a part that is a window, else its number.
VARIANT childVariant(const AccessibleContent& content, int part) {
    if (HWND window = content.partWindow(part); window != nullptr) {
        if (ComPtr<IDispatch> object = clientObject<IDispatch>(window)) {
            VARIANT result;
            VariantInit(&result);
            result.vt = VT_DISPATCH;
            result.pdispVal = object.Detach();
            return result;
        }
    }
    return number(part);
}

} // namespace

// The IAccessible a window answers WM_GETOBJECT with. Parts that are
// windows are handed on to those windows' own objects; everything else is
// asked of the content, as long as the window lives.
class AccessibleClient final : public IAccessible {
public:
    explicit AccessibleClient(AccessibleContent& content) : content_(&content) {}

    void disconnect() {
        content_ = nullptr;
        CoDisconnectObject(this, 0);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // Readers call the methods directly; there is no type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_INVALIDARG;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // The parent window's client object: the system's window objects say
    // nothing under Wine, so the tree runs from client area to client area.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) {
            return E_INVALIDARG;
        }
        *parent = nullptr;
        if (content_ == nullptr) {
            return RPC_E_DISCONNECTED;
        }
        HWND above = GetAncestor(content_->window(), GA_PARENT);
        if (above == nullptr) {
            return S_FALSE;
        }
        *parent = clientObject<IDispatch>(above).Detach();
        return *parent != nullptr ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_INVALIDARG;
        }
        if (content_ == nullptr) {
            return RPC_E_DISCONNECTED;
        }
        *count = content_->partCount();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr) {
            return E_INVALIDARG;
        }
        *object = nullptr;
        const std::optional<int> part = partOf(child);
        if (!part || *part == AccessibleContent::self) {
            return content_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        }
        HWND window = content_->partWindow(*part);
        if (window == nullptr) {
            return S_FALSE; // a part drawn by this window: a simple element
        }
        *object = clientObject<IDispatch>(window).Detach();
        return *object != nullptr ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accName(number(AccessibleContent::self), name);
        }
        return to.part < 0 ? to.error : text(content_->name(to.part), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accValue(number(AccessibleContent::self), value);
        }
        return to.part < 0 ? to.error : text(content_->value(to.part), value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accDescription(number(AccessibleContent::self), description);
        }
        return to.part < 0 ? to.error : text(content_->description(to.part), description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) {
            return E_INVALIDARG;
        }
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accRole(number(AccessibleContent::self), role);
        }
        if (to.part < 0) {
            return to.error;
        }
        *role = number(content_->role(to.part));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) {
            return E_INVALIDARG;
        }
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accState(number(AccessibleContent::self), state);
        }
        if (to.part < 0) {
            return to.error;
        }
        *state = number(content_->state(to.part));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return text({}, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file != nullptr) {
            *file = nullptr;
        }
        if (topic != nullptr) {
            *topic = 0;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return text({}, shortcut); }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_INVALIDARG;
        }
        VariantInit(focus);
        if (content_ == nullptr) {
            return RPC_E_DISCONNECTED;
        }
        HWND window = content_->window();
        HWND focused = GetFocus();
        if (focused == nullptr) {
            return S_FALSE;
        }
        if (focused == window) {
            *focus = number(AccessibleContent::self);
            return S_OK;
        }
        for (int part = 1; part <= content_->partCount(); ++part) {
            HWND partWindow = content_->partWindow(part);
            if (partWindow != nullptr && (focused == partWindow || IsChild(partWindow, focused))) {
                *focus = childVariant(*content_, part);
                return S_OK;
            }
        }
        return S_FALSE;
    }

    // Nothing here is a container that selects.
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection != nullptr) {
            VariantInit(selection);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->get_accDefaultAction(number(AccessibleContent::self), action);
        }
        return to.part < 0 ? to.error : text(content_->defaultAction(to.part), action);
    }

    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->accSelect(flags, number(AccessibleContent::self));
        }
        if (to.part < 0) {
            return to.error;
        }
        if (to.part != AccessibleContent::self || flags != SELFLAG_TAKEFOCUS) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return content_->takeFocus() ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_INVALIDARG;
        }
        *left = *top = *width = *height = 0;
        const Target to = target(child);
        if (to.window) {
            return to.window->accLocation(left, top, width, height, number(AccessibleContent::self));
        }
        if (to.part < 0) {
            return to.error;
        }
        RECT box = content_->bounds(to.part);
        MapWindowPoints(content_->window(), nullptr, reinterpret_cast<POINT*>(&box), 2);
        *left = box.left;
        *top = box.top;
        *width = box.right - box.left;
        *height = box.bottom - box.top;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) {
            return E_INVALIDARG;
        }
        VariantInit(end);
        const std::optional<int> from = partOf(start);
        if (!from) {
            return content_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        }
        const int count = content_->partCount();
        int to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (*from != AccessibleContent::self) {
                return E_INVALIDARG;
            }
            to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_PREVIOUS:
            // Siblings of the window itself are its parent's to say.
            if (*from == AccessibleContent::self) {
                return S_FALSE;
            }
            to = *from + (direction == NAVDIR_NEXT ? 1 : -1);
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
        if (to < 1 || to > count) {
            return S_FALSE;
        }
        *end = childVariant(*content_, to);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        if (child == nullptr) {
            return E_INVALIDARG;
        }
        VariantInit(child);
        if (content_ == nullptr) {
            return RPC_E_DISCONNECTED;
        }
        HWND window = content_->window();
        POINT at{x, y};
        ScreenToClient(window, &at);
        RECT client{};
        GetClientRect(window, &client);
        if (!PtInRect(&client, at)) {
            return S_FALSE;
        }
        for (int part = 1; part <= content_->partCount(); ++part) {
            RECT box{};
            if (HWND partWindow = content_->partWindow(part); partWindow != nullptr) {
                if (!IsWindowVisible(partWindow)) {
                    continue;
                }
                GetWindowRect(partWindow, &box);
                MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
            } else {
                box = content_->bounds(part);
            }
            if (PtInRect(&box, at)) {
                *child = childVariant(*content_, part);
                return S_OK;
            }
        }
        *child = number(AccessibleContent::self);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const Target to = target(child);
        if (to.window) {
            return to.window->accDoDefaultAction(number(AccessibleContent::self));
        }
        if (to.part < 0) {
            return to.error;
        }
        // No action, or one the part cannot take now (a disabled button).
        if (content_->defaultAction(to.part).empty() || !content_->doDefaultAction(to.part)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return S_OK;
    }

    // Names and values are the program's to set.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

private:
    ~AccessibleClient() = default;

    // The part a child identifier names, if it names one of this window's.
    std::optional<int> partOf(const VARIANT& child) const {
        if (content_ == nullptr || child.vt != VT_I4 || child.lVal < 0 || child.lVal > content_->partCount()) {
            return std::nullopt;
        }
        return static_cast<int>(child.lVal);
    }

    // Where a question about a child goes: the client object of a part that
    // is a window (asked about itself), or a part of this window's content.
    struct Target {
        ComPtr<IAccessible> window;
        int part = -1;
        HRESULT error = E_INVALIDARG;
    };
    Target target(const VARIANT& child) const {
        Target to;
        const std::optional<int> part = partOf(child);
        if (!part) {
            to.error = content_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
            return to;
        }
        if (HWND window = content_->partWindow(*part); window != nullptr) {
            to.window = clientObject<IAccessible>(window);
            to.error = E_FAIL; // the window gave no object
            return to;
        }
        to.part = *part;
        return to;
    }

    AccessibleContent* content_;
    LONG references_ = 1;
};

AccessibleAnswer::AccessibleAnswer(AccessibleContent& content) : content_(content) {}

AccessibleAnswer::~AccessibleAnswer() { disconnect(); }

LRESULT AccessibleAnswer::answer(WPARAM wParam, LPARAM lParam) {
    HWND window = content_.window();
    // The object identifier arrives as a 32-bit value in a wider parameter.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    if (object_ == nullptr) {
        object_.Attach(new AccessibleClient(content_)); // made with the one reference held here
    }
    return LresultFromObject(__uuidof(IAccessible), wParam, object_.Get());
}

void AccessibleAnswer::disconnect() {
    if (object_ != nullptr) {
        object_->disconnect();
        object_.Reset();
    }
}

} // namespace solvane
