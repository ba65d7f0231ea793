#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/ui_host.h"
#include "ui/win32/gdi_cache.h"

namespace dustrel::ui::win32 {

class FormView;
class TrayIcon;

// The real host: message boxes, modal loops, DoEvents, pop-up menus and the notification-area
// icon, and one FormView per loaded form.
class Win32Host final : public UiHost {
public:
    // MessageBoxW's type for a box of `style` over `owner` (none: over no window of the program).
    static UINT messageBoxType(MessageBoxStyle style, HWND owner);
    explicit Win32Host(HINSTANCE instance = nullptr);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    void refresh(Form& form) override;
    bool addTrayIcon(PictureBox& hook, const std::wstring& tip) override;
    void removeTrayIcon(PictureBox& hook) override;
    double twipsPerPixelX() override;
    void formLoaded(Form& form) override;
    void formUnloading(Form& form) override;
    void endProgram() override;
    // Windows is logging off or restarting, and may end the process as soon as the window it
    // told has answered: the program ends as endProgram() ends it, and no unload handler runs
    // or asks anything.
    void sessionEnding();

    // The window of a loaded form or control; null when there is none.
    HWND windowOf(const Form& form) const;
    HWND windowOf(const Control& control) const;
    bool ended() const override { return ended_; }

    // Routes one message taken from the queue: keyboard messages first get the dialog
    // navigation of the form they belong to (Tab, arrows, access keys).
    void dispatch(MSG& msg);
    // What waits for an empty queue: held-back updates, views of unloaded forms.
    void idle();

    // For the views.
    HINSTANCE instance() const { return instance_; }
    GdiCache& gdi() { return gdi_; }
    // The hidden window the notification-area icon reports to.
    HWND trayWindow() const;
    // A form's window is about to hide: a modal loop showing it gives the other windows their
    // input back first, so that Windows activates one of them and not another program.
    void beforeHide(const Form& form);

protected:
    MessageBoxAnswer showMessageBox(const std::wstring& text, const std::wstring& caption,
                                    MessageBoxStyle style) override;
    void runModal(Form& form) override;
    void processMessages() override;
    MenuItem* trackPopupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) override;

private:
    struct Modal {
        const Form* form = nullptr;
        std::vector<HWND> disabled;
    };

    FormView* viewOf(const Form& form) const;
    HWND activeFormWindow() const;
    // True when some window was brought up to date.
    bool flushAll(bool force);
    // Handles the messages waiting now; false once the program ends or a quit is met.
    bool dispatchPending();
    void releaseModal(const Form& form);
    void reap();

    HINSTANCE instance_;
    GdiCache gdi_;
    double twipsPerPixel_ = 15;
    bool ended_ = false;
    std::vector<std::unique_ptr<FormView>> views_;
    // Views of unloaded forms whose window procedures are still on the stack.
    std::vector<std::unique_ptr<FormView>> graveyard_;
    std::vector<Modal> modals_;
    std::unique_ptr<TrayIcon> tray_;
};

// The exit code of a program that a fault ended.
inline constexpr int kFaultExitCode = 3;

// The program's message loop; returns the exit code once the program ends.
int runMessageLoop(Win32Host& host);

}  // namespace dustrel::ui::win32
