#pragma once

#include <string>

#include "ui/form.h"

namespace dustrel::settings {

// The look the settings and custom-extension windows share.
inline const ui::Font kDialogFont{L"Verdana", 8.25, false};
inline const ui::Font kDialogTitleFont{L"Verdana", 9.75, true};

// Caption, icon, size and placement of a small modal window, which Escape closes.
void styleDialog(ui::Form& form);

// The frame that holds a dialog's controls, drawn as a group box titled `caption`.
ui::Frame& titledFrame(ui::Form& form, std::string name, ui::Rect rect, std::wstring caption);

}  // namespace dustrel::settings
