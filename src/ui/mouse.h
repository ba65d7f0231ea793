#pragma once

#include "ui/controls.h"

namespace dustrel::ui {

enum class PressedButton { Left, Right, Middle };

// The keys held down while a mouse button went down.
struct HeldKeys {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// The `shift` argument of a MouseDown handler is the sum of these.
enum ShiftMask { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

// The `button` and `shift` arguments a MouseDown handler receives.
struct MouseDownButtons {
    int button = 0;
    int shift = 0;

    friend bool operator==(const MouseDownButtons&, const MouseDownButtons&) = default;
};

MouseDownButtons mouseDownButtons(PressedButton pressed, HeldKeys held);

}  // namespace dustrel::ui
