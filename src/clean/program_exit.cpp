#include "clean/program_exit.h"

namespace dustrel::clean {

ProgramExit::ProgramExit(ui::UiHost& host, std::function<void()> farewell)
    : host_(host), farewell_(std::move(farewell)) {
    host_.setProgramExit([this] { ExitProgram(); });
}

ProgramExit::~ProgramExit() {
    host_.setProgramExit(nullptr);
}

void ProgramExit::UnloadAllForms() {
    for (ui::Form* form : forms_) {
        if (ended_) {
            return;
        }
        form->unload();
    }
}

void ProgramExit::ExitProgram() {
    UnloadAllForms();
    // An unload step that called back in here has already ended the program.
    if (ended_) {
        return;
    }
    // A thank-you page has no place after an error report.
    if (farewell_ && !host_.faulted()) {
        farewell_();
    }
    ended_ = true;
    host_.endProgram();
}

void RebootSystem(platform::System& system) {
    (void)system.restartWindows();
}

}  // namespace dustrel::clean
