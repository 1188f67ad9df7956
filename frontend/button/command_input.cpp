// The hover, press and focus state machine. Every handler does nothing
// while the button is disabled.
#include "button/command.h"

namespace solvane {

void Command::press(std::int16_t button) {
    if (!enabled()) {
        return;
    }
    if (button == LeftButton) {
        buttonHeld_ = true;
        PaintFace(Skin::Pressed);
    }
}

void Command::move() {
    if (!enabled()) {
        return;
    }
    if (state_ == StateNormal) {
        state_ = StateHighLight;
        PaintFace(Skin::HighLight);
    }
    if (state_ == StateSelected && !buttonHeld_) {
        state_ = StateHighLightSelect;
        PaintFace(Skin::HighLightSelect);
    }
}

void Command::release(std::int16_t button) {
    if (!enabled()) {
        return;
    }
    if (button == LeftButton) {
        buttonHeld_ = false;
        if (state_ == StateHighLight) {
            PaintFace(Skin::Normal);
        } else if (state_ == StateHighLightSelect) {
            PaintFace(Skin::HighLightSelect);
        }
    }
    // Last: the handler may end the dialog and the button with it.
    if (state_ != StateSelected && enabled() && Click) {
        Click();
    }
}

void Command::focusGained() {
    if (!enabled()) {
        return;
    }
    if (state_ != StateHighLight) {
        state_ = StateSelected;
        PaintFace(Skin::Selected);
    } else {
        state_ = StateHighLightSelect;
        PaintFace(Skin::Pressed);
    }
}

void Command::focusLost() {
    if (!enabled()) {
        return;
    }
    if (state_ != StateNormal) {
        state_ = StateNormal;
        PaintFace(Skin::Normal);
    }
}

void Command::LeaveHover() {
    if (state_ == StateHighLight) {
        state_ = StateNormal;
        PaintFace(Skin::Normal);
    } else if (state_ == StateHighLightSelect) {
        state_ = StateSelected;
        PaintFace(Skin::Selected);
    }
}

void Command::hoverCheck() {
    if (!enabled() || window() == nullptr) {
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    // Over the form or over any other window, the cursor has left; the
    // caption has no window of its own and counts as the button.
    if (WindowFromPoint(cursor) != window()) {
        LeaveHover();
    }
}

} // namespace solvane
