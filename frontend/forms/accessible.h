#pragma once

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>

namespace solvane {

// What a window shows a screen reader: the window itself (part 0) and the
// parts in it, numbered from 1 in reading order. A part is either drawn by
// the window (an option, a label) or a child window, which answers for
// itself; only the first kind is asked about here.
class AccessibleContent {
public:
    static constexpr int self = CHILDID_SELF;

    virtual ~AccessibleContent() = default;

    virtual int partCount() const { return 0; }
    // The child window that part `part` is; null for a part the window draws.
    virtual HWND partWindow(int) const { return nullptr; }

    virtual std::wstring name(int part) const = 0;
    virtual long role(int part) const = 0;
    virtual long state(int part) const = 0;
    virtual std::wstring value(int) const { return {}; }
    virtual std::wstring description(int) const { return {}; }
    // Empty where the part has no default action.
    virtual std::wstring defaultAction(int) const { return {}; }
    // Performs the default action; false when the part cannot now.
    virtual bool doDefaultAction(int) { return false; }
    // Where a drawn part lies, in the window's client coordinates; the
    // window's own part is its client area.
    virtual RECT bounds(int part) const;
    // Takes the keyboard focus for the window's own part; false when it
    // cannot take it.
    virtual bool takeFocus() { return false; }

    // The window whose client area this is; null before it is made.
    virtual HWND window() const = 0;
};

class AccessibleClient;

// A window's answer to screen readers: the object for its client area, made
// at the first WM_GETOBJECT that asks for it and cut off from the content
// when the window goes, so that a reader still holding it gets an error
// rather than a window that is no more.
class AccessibleAnswer {
public:
    explicit AccessibleAnswer(AccessibleContent& content);
    ~AccessibleAnswer();
    AccessibleAnswer(const AccessibleAnswer&) = delete;
    AccessibleAnswer& operator=(const AccessibleAnswer&) = delete;

    // Handles WM_GETOBJECT: the client object, or the system's answer for
    // any other object of the window.
    LRESULT answer(WPARAM wParam, LPARAM lParam);

    // The window is going: readers holding the object are told so.
    void disconnect();

private:
    AccessibleContent& content_;
    Microsoft::WRL::ComPtr<AccessibleClient> object_; // held until disconnect
};

// Tells the system that part `part` of the window's client area changed:
// EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_SELECTION, EVENT_OBJECT_NAMECHANGE...
void notifyAccessible(DWORD event, HWND window, int part);

} // namespace solvane
