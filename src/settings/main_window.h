#pragma once

#include "ui/form.h"

namespace dustrel::settings {

// What the settings window needs of the main window for the notification-area icon: the
// window it hides and restores, and the pop-up menu the icon offers.
class MainWindow {
public:
    virtual ui::Form& mainForm() = 0;
    // The invisible top-level menu shown by the icon, and its default entry.
    virtual ui::MenuItem& trayMenu() = 0;
    virtual ui::MenuItem& trayMenuDefault() = 0;
    // "Show": restores the main window and removes the icon.
    virtual void mnuPop_Click() = 0;

protected:
    ~MainWindow() = default;
};

}  // namespace dustrel::settings
