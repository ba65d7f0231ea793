#include "ui/mouse.h"

namespace dustrel::ui {

MouseDownButtons mouseDownButtons(PressedButton pressed, HeldKeys held) {
    const int button = pressed == PressedButton::Left    ? kLeftButton
                       : pressed == PressedButton::Right ? kRightButton
                                                         : kMiddleButton;
    const int shift =
        (held.shift ? kShiftMask : 0) | (held.control ? kCtrlMask : 0) | (held.alt ? kAltMask : 0);
    return {button, shift};
}

}  // namespace dustrel::ui
