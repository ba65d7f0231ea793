#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/types.h"

namespace dustrel::ui {

class Form;
class MenuItem;
class PictureBox;

// A message box: its buttons and its icon, and the button the user chose.
enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { None, Stop, Question, Warning, Information };
enum class MessageBoxAnswer {
    Ok,
    // Also the answer of a box that was never shown (the program had ended, or the box failed).
    Cancel,
    Yes,
    No,
};

struct MessageBoxStyle {
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxIcon icon = MessageBoxIcon::None;

    friend bool operator==(const MessageBoxStyle&, const MessageBoxStyle&) = default;
};

// Ends a handler that a wait would otherwise return into a program that has ended, or into a
// form unloaded under it. Thrown by the waits themselves and caught where the user's action
// entered the program (UiHost::raise), so no handler needs a check of its own.
class HandlerAbandoned final : public std::exception {
public:
    const char* what() const noexcept override { return "handler abandoned"; }
};

// What the user is told of an exception nothing expected: its what(), when it has one.
std::wstring faultMessage(const std::exception_ptr& error);

// What is not a control: the Win32 host does it for real, the test host records it.
//
// Every wait (a message box, a modal window, DoEvents, a pop-up menu, work such as the shell's
// file operations) runs other handlers while it lasts: the user may close a window or end the
// program meanwhile. When a wait returns, the handler that waited goes on only if the program
// still runs and every form whose controls it reached is still the same loaded form; otherwise
// the wait throws HandlerAbandoned.
class UiHost {
public:
    virtual ~UiHost() = default;

    MessageBoxAnswer messageBox(const std::wstring& text, const std::wstring& caption,
                                MessageBoxStyle style = {});
    // Shows a loaded form modal over the others; returns once it is hidden or unloaded. The
    // form itself may be unloaded on the way out (that is how a dialog closes): a caller holds
    // none of its controls across the call.
    void showModal(Form& form);
    // Processes the window messages pending now, once.
    void doEvents();
    // Pops up an invisible top-level menu at the mouse position; the chosen entry's handler
    // runs before this returns.
    void popupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem);
    // Runs work during which window messages are processed (the shell's file operations show
    // windows of their own).
    void waitFor(const std::function<void()>& work);

    // Runs the handler of a user's action on `form` (or of the program's start). A handler
    // abandoned by a wait ends here; a program that has ended takes no more actions.
    void raise(Form& form, const std::function<void()>& handler);
    // The running handler reached the controls of `form`, which it may go on holding.
    void touched(const Form& form);

    // Runs the program's code where nothing may be thrown past (a window procedure, the top
    // of a handler): an abandoned handler ends here quietly, anything else is a fault. True
    // when `work` ran to its end.
    template <class Work>
    bool barrier(Work&& work) noexcept {
        try {
            work();
            return true;
        } catch (...) {
            fault(std::current_exception());
        }
        return false;
    }
    // An exception nothing expected: the program can no longer tell what state it is in, so it
    // says so once and ends the way its own exits end it, with no handler run meanwhile. A
    // fault while one is being reported belongs to it. HandlerAbandoned is no fault.
    void fault(const std::exception_ptr& error) noexcept;
    bool faulted() const { return faulted_; }
    // How the program ends itself (its forms unloaded as its own exits unload them); a fault
    // ends the program with it.
    void setProgramExit(std::function<void()> exit) { programExit_ = std::move(exit); }

    // Repaints the form at once.
    virtual void refresh(Form& form) = 0;
    // The notification-area icon, whose clicks reach `hook` as tray events. False when the
    // taskbar refused it; the host adds it again when a taskbar starts.
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

protected:
    // The waits themselves; the public functions above add what every wait needs.
    virtual MessageBoxAnswer showMessageBox(const std::wstring& text, const std::wstring& caption,
                                            MessageBoxStyle style) = 0;
    virtual void runModal(Form& form) = 0;
    virtual void processMessages() = 0;
    // The entry the user chose, or nothing.
    virtual MenuItem* trackPopupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) = 0;

private:
    // The forms a running handler has reached, each with the load it reached.
    struct Frame {
        std::vector<std::pair<const Form*, std::uint64_t>> forms;
    };

    // After a wait: throws HandlerAbandoned unless the waiting handler may go on.
    void resume() const;

    // A wait shows nothing and a handler starts no more once the program has ended or failed.
    bool stopped() const { return faulted_ || ended(); }

    std::vector<Frame> frames_;
    std::function<void()> programExit_;
    bool faulted_ = false;
};

}  // namespace dustrel::ui
