#pragma once

#include "ui/form.h"

namespace dustrel::settings {

// The settings window's controls, laid out as designed (twips), in tab order.
struct FrmSettingsControls {
    explicit FrmSettingsControls(ui::Form& form);

    // Never visible: the window of picHook receives the notification-area icon's messages, and
    // chkSysTray mirrors the stored tray choice.
    ui::PictureBox& picHook;
    ui::CheckBox& chkSysTray;

    ui::Frame& Frame1;
    ui::Button& cmdLogFiles;
    ui::Frame& fraSettings1;
    ui::OptionButton& optDontRun;
    ui::OptionButton& optRun;
    ui::ComboBox& cboLogFiles;
    ui::Label& Label1;
    ui::Button& Command1;
};

}  // namespace dustrel::settings
