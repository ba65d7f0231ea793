#include "app/frm_main.h"

#include "app/program_info.h"

namespace dustrel::app {

FrmMain::FrmMain(ui::UiHost& host, AppContext& context)
    : FormOf(host, "frmMain"), context_(context) {
    setCaption(std::wstring(kProgramTitle) + kVersionSuffix);
    setIcon(ui::Image::AppIcon);
    setClientSize(11535, 6615);
    setCentered(true);
    setFont(ui::Font{L"Verdana", 8.25, false});
}

void FrmMain::createControls() {
    FormOf::createControls();
    auto& c = *ui_;
    for (ui::Button* exit : c.cmdExit) {
        exit->onClick = [this, exit] { cmdExit_Click(exit->index()); };
    }
    c.mnuExit.onClick = [this] { mnuExit_Click(); };
}

void FrmMain::Form_Load() {
    auto& c = ui();
    showPage(c.Frame2);
    c.cmdNext.setEnabled(false);
    c.cmdNext1.setEnabled(false);
    c.cmdDelete.setEnabled(false);
    c.cmdRecycle.setEnabled(false);
}

void FrmMain::Form_Unload(int& /*cancel*/) {
    host().endProgram();
}

void FrmMain::cmdExit_Click(int /*index*/) {
    unload();
}

void FrmMain::mnuExit_Click() {
    unload();
}

}  // namespace dustrel::app
