#include "clean/program_exit.h"

namespace dustrel::clean {

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
    if (farewell_) {
        farewell_();
    }
    ended_ = true;
    host_.endProgram();
}

void RebootSystem(platform::System& system) {
    (void)system.restartWindows();
}

}  // namespace dustrel::clean
