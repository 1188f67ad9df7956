#include "x11/events.h"

#include "x11/x_input.h"

#include <X11/extensions/Xrandr.h>

namespace solvane {

EventState startEvents(Display* display, const Target& target) {
    EventState state;
    int randrErrorBase = 0;
    if (target.wholeScreen && XRRQueryExtension(display, &state.randrEventBase, &randrErrorBase)) {
        XRRSelectInput(display, RootWindow(display, DefaultScreen(display)), RRScreenChangeNotifyMask);
    } else {
        state.randrEventBase = -1;
    }
    if (target.own) {
        Window rootReturn = 0;
        Window child = 0;
        int pointerX = 0;
        int pointerY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(display, target.window, &rootReturn, &child, &pointerX, &pointerY, &windowX, &windowY, &mask);
        state.rules.emplace(pointerX, pointerY);
    }
    return state;
}

bool handleEvents(Display* display, Target& target, EventState& state) {
    while (XPending(display) > 0) {
        XEvent event{};
        XNextEvent(display, &event);
        if (state.randrEventBase >= 0 && event.type == state.randrEventBase + RRScreenChangeNotify) {
            // Monitors came, went or moved: cover the new screen, a picture each.
            XRRUpdateConfiguration(&event);
            const int screen = DefaultScreen(display);
            if (target.own) {
                XMoveResizeWindow(display, target.window, 0, 0, static_cast<unsigned>(DisplayWidth(display, screen)),
                                  static_cast<unsigned>(DisplayHeight(display, screen)));
            }
            state.relayout = true;
            continue;
        }
        switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == target.window) {
                return false;
            }
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == target.window &&
                (event.xconfigure.width != target.width || event.xconfigure.height != target.height)) {
                target.width = event.xconfigure.width;
                target.height = event.xconfigure.height;
                state.relayout = true;
            }
            break;
        case KeyPress:
            return !target.own;
        case ButtonPress:
            if (target.own && buttonEnds(event.xbutton.button)) {
                return false;
            }
            break;
        case MotionNotify:
            if (target.own && state.rules &&
                state.rules->moved(event.xmotion.x_root, event.xmotion.y_root) == PointerLeaveRule::Move::ends) {
                return false;
            }
            break;
        case FocusIn:
            state.focused = true;
            break;
        case FocusOut:
            // Grabs and moves inside the window are not a change of focus.
            if (target.own && state.focused && event.xfocus.mode == NotifyNormal &&
                event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    return true;
}

} // namespace solvane
