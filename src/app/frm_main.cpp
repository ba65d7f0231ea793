#include "app/frm_main.h"

#include "app/custom_list.h"
#include "app/drive_list.h"
#include "app/file_tips.h"
#include "clean/log_folder.h"
#include "platform/program_info.h"
#include "scan/junk_categories.h"
#include "settings/update_reminder.h"
#include "settings/web_links.h"

namespace dustrel::app {

using platform::kProgramTitle;
using platform::kVersionSuffix;

namespace {

// The category list's only column leaves room for the vertical scroll bar.
constexpr int kScrollBarAllowance = 350;

}  // namespace

FrmMain::FrmMain(ui::UiHost& host, AppContext& context)
    : FormOf(host, "frmMain"),
      context_(context),
      frmSettings_(host, context.platform, *this, *this),
      frmCustomExt_(host, context.platform, context.state.CustomExtValue),
      exit_(host, [this] { settings::OpenThankYouPage(context_.platform.shell); }) {
    setCaption(std::wstring(kProgramTitle) + kVersionSuffix);
    setIcon(ui::Image::AppIcon);
    setClientSize(11535, 6615);
    setCentered(true);
    setFont(ui::Font{L"Verdana", 8.25, false});
    exit_.addForm(*this);
    exit_.addForm(frmSettings_);
    exit_.addForm(frmCustomExt_);
}

void FrmMain::createControls() {
    FormOf::createControls();
    auto& c = *ui_;
    c.cmdNext.onClick = [this] { cmdNext_Click(); };
    c.cmdBack.onClick = [this] { cmdBack_Click(); };
    c.cmdBack1.onClick = [this] { cmdBack1_Click(); };
    c.cmdBack2.onClick = [this] { cmdBack2_Click(); };
    c.cmdOK.onClick = [this] { cmdOK_Click(); };
    c.mnuAbout.onClick = [this] { mnuAbout_Click(); };
    c.cmdCheckAll.onClick = [this] { cmdCheckAll_Click(); };
    c.cmdClearAll.onClick = [this] { cmdClearAll_Click(); };
    c.cmdNext1.onClick = [this] { cmdNext1_Click(); };
    c.cmdStopScan.onClick = [this] { cmdStopScan_Click(); };
    c.cmdCheck.onClick = [this] { cmdCheck_Click(); };
    c.cmdClear.onClick = [this] { cmdClear_Click(); };
    c.ListFiles.onColumnClick = [this](std::size_t column) { ListFiles_ColumnClick(column); };
    c.ListFiles.onItemCheck = [this](std::size_t item) { ListFiles_ItemCheck(item); };
    c.ListFiles.rowTip = [this](const ui::ListRow& row) { return resultsPage().foundFileTip(row); };
    c.lstFilesDelete.rowTip = [this](const ui::ListRow& row) {
        return resultsPage().deletedFileTip(row);
    };
    c.ListDrive.rowTip = [this](const ui::ListRow& row) {
        return driveTip(context_.platform.locale, row);
    };
    c.cmdDelete.onClick = [this] { cmdDelete_Click(); };
    c.cmdRecycle.onClick = [this] { cmdRecycle_Click(); };
    c.ListDrive.onItemCheck = [this](std::size_t item) { ListDrive_ItemCheck(item); };
    c.lstOptions.onItemCheck = [this](std::size_t item) { lstOptions_ItemCheck(item); };

    c.cmdSettings.onClick = [this] { cmdSettings_Click(); };
    c.mnuSettings.onClick = [this] { cmdSettings_Click(); };
    c.cmdAddCustomExt.onClick = [this] { cmdAddCustomExt_Click(); };

    c.Label8.onClick = [this] { Label8_Click(); };
    c.Label10.onClick = [this] { Label10_Click(); };
    c.mnuOnline.onClick = [this] { mnuOnline_Click(); };
    c.mnuVisit.onClick = [this] { mnuVisit_Click(); };
    c.mnuUpdate.onClick = [this] { mnuUpdate_Click(); };

    c.mnuPop.onClick = [this] { mnuPop_Click(); };
    c.mnuExit1.onClick = [this] { mnuExit1_Click(); };

    for (ui::Button* exit : c.cmdExit) {
        exit->onClick = [this, exit] { cmdExit_Click(exit->index()); };
    }
    c.mnuExit.onClick = [this] { mnuExit_Click(); };
    ui::Button* exit2 = &c.cmdExit2;
    exit2->onClick = [this, exit2] { cmdExit2_Click(exit2->index()); };
    c.cmdExitReboot.onClick = [this] { cmdExitReboot_Click(); };
}

std::wstring FrmMain::appName() {
    return platform::applicationName(context_.platform.system);
}

settings::SettingsStore FrmMain::store() {
    return settings::SettingsStore(context_.platform.registry, context_.platform.locale);
}

// --- start-up -----------------------------------------------------------------------------

void FrmMain::Form_Load() {
    auto& system = context_.platform.system;
    const std::wstring name = appName();

    if (!system.claimSingleInstance(name)) {
        host().messageBox(std::wstring(kProgramTitle) + L" Is Already Running", kProgramTitle,
                          {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        // This unloads the main window too, and with it the controls: nothing below may run.
        exit_.UnloadAllForms();
        return;
    }

    syncStartupOptions(name);

    if (system.commandArguments().find(settings::kStartupArgument) != std::wstring::npos &&
        frmSettings_.ui().chkSysTray.value() == ui::CheckBox::Checked) {
        frmSettings_.AddTrayIcon();
    }

    // The update reminder: it asks, once the stored date is far enough back, whether to look
    // for a newer version.
    Registry();

    auto store = this->store();
    context_.state.CustomExtValue =
        store.DecodeSetting(store.ReadSetting(name, L"CustomExt", store.EncodeSetting(L"Ext")));
    fillCategories();

    auto& c = ui();
    listFixedDisks(system, GetDriveLetters(system), c.ListDrive);
    resultsPage().recountTicked();

    c.cmdNext.setEnabled(false);
    c.cmdNext1.setEnabled(false);
    c.cmdDelete.setEnabled(false);
    c.cmdRecycle.setEnabled(false);
}

// Brings the settings window's start-up controls in line with the Run entry and the stored tray
// choice. Selecting an option runs its handler, which rewrites the Run entry and the choice.
void FrmMain::syncStartupOptions(const std::wstring& name) {
    auto& s = frmSettings_.ui();
    if (!frmSettings_.WillRunAtStartup(name)) {
        s.optDontRun.setValue(true);
        return;
    }
    s.optRun.setValue(true);
    if (store().ReadSetting(name, L"Settings", L"RunAtSysTray", L"False") == L"True") {
        s.optRun.setValue(true);
        s.chkSysTray.setValue(ui::CheckBox::Checked);
    } else {
        s.optDontRun.setValue(true);
        s.chkSysTray.setValue(ui::CheckBox::Unchecked);
    }
}

void FrmMain::fillCategories() {
    auto& list = ui().lstOptions;
    for (const scan::JunkCategory& category : scan::kJunkCategories) {
        list.addRow(std::wstring(category.name));
    }
    CustomList parsed = parseCustomList(context_.state.CustomExtValue);
    for (const std::size_t entry : parsed.rowEntries) {
        list.addRow(parsed.names[entry]);
    }
    auto& extensions = context_.state.CustomRowExtensions;
    extensions.clear();
    for (const std::size_t entry : parsed.rowEntries) {
        extensions.push_back(entry < parsed.extensions.size() ? parsed.extensions[entry]
                                                              : std::wstring());
    }
    list.setColumnWidth(0, list.rect().width - kScrollBarAllowance);
}

void FrmMain::Registry() {
    auto store = this->store();
    auto& platform = context_.platform;
    settings::runUpdateReminder(store, appName(), platform.clock, platform.locale, host(),
                                platform.shell);
    showPage(ui().Frame2);
}

// --- wizard navigation ----------------------------------------------------------------------

void FrmMain::cmdNext_Click() {
    auto& c = ui();
    if (c.ListDrive.checkedCount() == 0) {
        host().messageBox(L"Please Select At Least One Disk Drive", kProgramTitle,
                          {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        return;
    }
    host().messageBox(
        L"We recommend that you save and shut down all other programs while Dustrel is running.",
        kProgramTitle, {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information});
    showPage(c.Frame4);
}

void FrmMain::cmdBack_Click() {
    auto& c = ui();
    hideProgressBar(c.PBar);
    scan::stopListingAhead(context_.state.scan);
    context_.state.scan.ScanStopped = false;
    resultsPage().clearResults();
    showPage(c.Frame4);
    c.cmdNext.setEnabled(false);
    c.cmdDelete.setEnabled(false);
    c.cmdRecycle.setEnabled(false);
    c.lblPath.setCaption({});
    c.lblExt.setCaption({});
}

void FrmMain::cmdBack1_Click() {
    auto& c = ui();
    showPage(c.Frame2);
    c.ListDrive.setAllChecked(false);
    cmdClearAll_Click();
    c.cmdNext.setEnabled(false);
}

void FrmMain::cmdBack2_Click() {
    auto& c = ui();
    hideProgressBar(c.PBar);
    showPage(c.Frame2);
    c.lstOptions.setAllChecked(false);
    c.ListDrive.setAllChecked(false);
    c.lstFilesDelete.clear();
    context_.state.deletedFiles.clear();
    c.cmdNext.setEnabled(false);
    c.cmdNext1.setEnabled(false);
    c.cmdDelete.setEnabled(false);
    c.cmdRecycle.setEnabled(false);
    c.lblPath.setCaption({});
    c.lblExt.setCaption({});
}

void FrmMain::mnuAbout_Click() {
    showPage(ui().fraAbout);
}

void FrmMain::cmdOK_Click() {
    auto& c = ui();
    c.ListDrive.setAllChecked(false);
    c.fraAbout.zOrder(ui::ZOrderPosition::Back);
}

void FrmMain::cmdCheckAll_Click() {
    auto& c = ui();
    c.lstOptions.setAllChecked(true);
    c.cmdNext1.setEnabled(true);
}

void FrmMain::cmdClearAll_Click() {
    auto& c = ui();
    c.lstOptions.setAllChecked(false);
    c.cmdNext.setEnabled(false);
    c.cmdNext1.setEnabled(false);
}

// Ticking enables Next; unticking the last tick does not disable it, and Next then says why.
void FrmMain::ListDrive_ItemCheck(std::size_t /*item*/) {
    auto& c = ui();
    if (c.ListDrive.checkedCount() > 0) {
        c.cmdNext.setEnabled(true);
    }
}

void FrmMain::lstOptions_ItemCheck(std::size_t /*item*/) {
    auto& c = ui();
    if (c.lstOptions.checkedCount() > 0) {
        c.cmdNext1.setEnabled(true);
    }
}

// --- the scan and its results ---------------------------------------------------------------

void FrmMain::cmdNext1_Click() {
    resultsPage().cmdNext1_Click();
}

void FrmMain::cmdStopScan_Click() {
    resultsPage().cmdStopScan_Click();
}

void FrmMain::cmdCheck_Click() {
    ui().ListFiles.setAllChecked(true);
    resultsPage().recountTicked();
}

// Clears the ticks, and with them the way on from the category page, though its ticks stay.
void FrmMain::cmdClear_Click() {
    auto& c = ui();
    c.ListFiles.setAllChecked(false);
    c.cmdNext1.setEnabled(false);
    resultsPage().recountTicked();
}

// Any header: sort by the path, the other way round from last time.
void FrmMain::ListFiles_ColumnClick(std::size_t /*column*/) {
    auto& list = ui().ListFiles;
    list.setSortKey(0);
    list.setSortOrder(list.sortOrder() == ui::SortOrder::Ascending ? ui::SortOrder::Descending
                                                                   : ui::SortOrder::Ascending);
    list.setSorted(true);
}

void FrmMain::ListFiles_ItemCheck(std::size_t item) {
    resultsPage().ListFiles_ItemCheck(item);
}

// --- cleaning -------------------------------------------------------------------------------

void FrmMain::cmdDelete_Click() {
    // A second press while the files go would count the same files again.
    if (deleting_) {
        return;
    }
    deleting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{deleting_};
    resultsPage().cmdDelete_Click();
}

void FrmMain::cmdRecycle_Click() {
    resultsPage().cmdRecycle_Click();
}

// --- the other windows ----------------------------------------------------------------------

void FrmMain::cmdSettings_Click() {
    host().showModal(frmSettings_);
    // The dialog was unloaded when it closed: the first control touched below loads a fresh,
    // hidden one, which then holds the stored choice again.
    const bool tray = store().ReadSetting(appName(), L"Settings", L"RunAtSysTray") == L"True";
    auto& s = frmSettings_.ui();
    s.optRun.setValue(tray);
    s.optDontRun.setValue(!tray);
    s.chkSysTray.setValue(tray ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
}

void FrmMain::cmdAddCustomExt_Click() {
    host().showModal(frmCustomExt_);
}

// --- web links ------------------------------------------------------------------------------

void FrmMain::Label8_Click() {
    settings::OpenHomePage(context_.platform.shell);
}

void FrmMain::Label10_Click() {
    settings::OpenContactPage(context_.platform.shell);
}

void FrmMain::mnuOnline_Click() {
    settings::OpenHelpPage(context_.platform.shell);
}

void FrmMain::mnuVisit_Click() {
    settings::OpenHomePage(context_.platform.shell);
}

void FrmMain::mnuUpdate_Click() {
    settings::OpenDownloadPage(context_.platform.shell);
}

// --- the deletion logs' folder, for the settings window --------------------------------------

void FrmMain::purgeLogs(int listIndex) {
    clean::purgeLogFolder(context_.platform, clean::daysKeptFor(listIndex));
}

void FrmMain::openLogFolder() {
    clean::openLogFolder(context_.platform, host());
}

// --- notification area ----------------------------------------------------------------------

void FrmMain::mnuPop_Click() {
    show();
    setWindowState(ui::WindowState::Normal);
    frmSettings_.RemoveTrayIcon();
}

void FrmMain::mnuExit1_Click() {
    exit_.UnloadAllForms();
}

// --- ways out -------------------------------------------------------------------------------

void FrmMain::Form_Unload(int& /*cancel*/) {
    // The goodbye may keep the walk under way waiting: nothing lists on behind it.
    scan::stopListingAhead(context_.state.scan);
    exit_.ExitProgram();
}

void FrmMain::cmdExit_Click(int /*index*/) {
    exit_.ExitProgram();
}

void FrmMain::mnuExit_Click() {
    unload();
}

void FrmMain::cmdExit2_Click(int /*index*/) {
    exit_.UnloadAllForms();
}

void FrmMain::cmdExitReboot_Click() {
    clean::RebootSystem(context_.platform.system);
}

}  // namespace dustrel::app
