#pragma once

#include <string>

#include "ui/types.h"

namespace dustrel::ui {

class Form;
class MenuItem;
class PictureBox;

// Message box styles and answers, with the platform's values.
enum MessageBoxStyle : int {
    kMbOk = 0,
    kMbYesNo = 4,
    kMbIconStop = 16,
    kMbIconQuestion = 32,
    kMbIconWarning = 48,
    kMbIconInformation = 64,
};

enum MessageBoxAnswer : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
};

// What is not a control: the Win32 host does it for real, the test host records it.
class UiHost {
public:
    virtual ~UiHost() = default;

    virtual int messageBox(const std::wstring& text, const std::wstring& caption, int style) = 0;
    // Shows a loaded form modal over the others; returns once it is hidden or unloaded.
    virtual void showModal(Form& form) = 0;
    // Processes the window messages pending now, once.
    virtual void doEvents() = 0;
    // Repaints the form at once.
    virtual void refresh(Form& form) = 0;
    // Pops up an invisible top-level menu at the mouse position; returns after the choice's
    // handler has run (or nothing was chosen).
    virtual void popupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) = 0;
    // The notification-area icon, whose mouse messages reach `hook` as mouse-down events with
    // x = message number times twipsPerPixelX().
    virtual bool addTrayIcon(PictureBox& hook, const std::wstring& tip) = 0;
    virtual void removeTrayIcon(PictureBox& hook) = 0;
    virtual double twipsPerPixelX() = 0;

    // A form was loaded (its controls exist) or is about to be unloaded.
    virtual void formLoaded(Form& form) = 0;
    virtual void formUnloading(Form& form) = 0;
    // Ends the program: no more messages are processed after the current handler.
    virtual void endProgram() = 0;
    // The program has ended (or the session is ending): work under way must give up.
    virtual bool ended() const = 0;
};

}  // namespace dustrel::ui
