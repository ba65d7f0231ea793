#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "ui/form.h"

namespace dustrel::clean {

// Every way out of the program: unload the windows, say goodbye once (the thank-you page),
// end.
class ProgramExit {
public:
    // A fault ends the program this way too, without the goodbye.
    ProgramExit(ui::UiHost& host, std::function<void()> farewell);
    ~ProgramExit();
    ProgramExit(const ProgramExit&) = delete;
    ProgramExit& operator=(const ProgramExit&) = delete;

    // The program's windows, in the order they are unloaded.
    void addForm(ui::Form& form) { forms_.push_back(&form); }

    // Unloads every loaded window. Unloading the main window ends the program from its own
    // unload step, which makes this the way out of every path that uses it.
    void UnloadAllForms();
    // Unloads every window, says goodbye and ends the program. Calls made while
    // an exit is already under way (an unload step calling back in) end nothing twice.
    void ExitProgram();
    bool ended() const { return ended_; }

private:
    ui::UiHost& host_;
    std::function<void()> farewell_;
    std::vector<ui::Form*> forms_;
    bool ended_ = false;
};

// "Exit With Reboot": asks Windows to restart, letting other programs save their work; the
// program's own windows answer the end of the session. Nothing is reported when Windows says no.
void RebootSystem(platform::System& system);

}  // namespace dustrel::clean
