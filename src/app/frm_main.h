#pragma once

#include <string>

#include "app/app_context.h"
#include "app/frm_main_layout.h"
#include "app/results_page.h"
#include "clean/program_exit.h"
#include "settings/frm_custom_ext.h"
#include "settings/frm_settings.h"
#include "settings/main_window.h"
#include "settings/settings_store.h"
#include "ui/form.h"

namespace dustrel::app {

// The main window: a wizard of stacked pages beside a fixed left panel. It owns the program's
// other two windows and the way out.
class FrmMain : public ui::FormOf<FrmMainControls>,
                public settings::MainWindow,
                public settings::LogFolder {
public:
    FrmMain(ui::UiHost& host, AppContext& context);

    settings::FrmSettings& frmSettings() { return frmSettings_; }
    settings::FrmCustomExt& frmCustomExt() { return frmCustomExt_; }
    clean::ProgramExit& programExit() { return exit_; }

    // Brings a page to the front of the page stack, which shows it.
    void showPage(ui::Frame& page) { page.zOrder(ui::ZOrderPosition::Front); }

    // The update reminder, run once at start-up; it leaves the drive page in front.
    void Registry();

    // Wizard navigation.
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdBack1_Click();
    void cmdBack2_Click();
    void cmdOK_Click();
    void mnuAbout_Click();
    void cmdCheckAll_Click();
    void cmdClearAll_Click();
    void ListDrive_ItemCheck(std::size_t item);
    void lstOptions_ItemCheck(std::size_t item);

    // The scan and its results.
    void cmdNext1_Click();
    void cmdStopScan_Click();
    void cmdCheck_Click();
    void cmdClear_Click();
    void ListFiles_ColumnClick(std::size_t column);
    void ListFiles_ItemCheck(std::size_t item);

    // Cleaning.
    void cmdDelete_Click();
    void cmdRecycle_Click();

    // The left panel's windows.
    void cmdSettings_Click();
    void cmdAddCustomExt_Click();

    // Web links.
    void Label8_Click();
    void Label10_Click();
    void mnuOnline_Click();
    void mnuVisit_Click();
    void mnuUpdate_Click();

    // Notification-area menu.
    void mnuPop_Click() override;
    void mnuExit1_Click();

    // Ways out.
    void cmdExit_Click(int index);
    void mnuExit_Click();
    void cmdExit2_Click(int index);
    void cmdExitReboot_Click();

    // settings::MainWindow
    ui::Form& mainForm() override { return *this; }
    ui::MenuItem& trayMenu() override { return ui().mnuPopUP; }
    ui::MenuItem& trayMenuDefault() override { return ui().mnuPop; }

    // settings::LogFolder
    void purgeLogs(int listIndex) override;
    void openLogFolder() override;

protected:
    void createControls() override;
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    std::wstring appName();
    settings::SettingsStore store();
    void syncStartupOptions(const std::wstring& name);
    void fillCategories();
    ResultsPage resultsPage() { return ResultsPage(*this, ui(), context_); }

    AppContext& context_;
    settings::FrmSettings frmSettings_;
    settings::FrmCustomExt frmCustomExt_;
    clean::ProgramExit exit_;
    // A Delete under way, whose pauses let the user press Delete again.
    bool deleting_ = false;
};

}  // namespace dustrel::app
