#include "settings/frm_settings.h"

#include "platform/program_info.h"
#include "settings/dialog_style.h"
#include "settings/settings_store.h"

namespace dustrel::settings {

FrmSettings::FrmSettings(ui::UiHost& host, const platform::Platform& platform, MainWindow& main,
                         LogFolder& logs)
    : FormOf(host, "frmSettings"), platform_(platform), main_(main), logs_(logs) {
    styleDialog(*this);
}

void FrmSettings::createControls() {
    FormOf::createControls();
    auto& c = *ui_;
    c.optRun.onClick = [this] { optRun_Click(); };
    c.optDontRun.onClick = [this] { optDontRun_Click(); };
    c.chkSysTray.onClick = [this] { chkSysTray_Click(); };
    c.Command1.onClick = [this] { Command1_Click(); };
    c.cboLogFiles.onClick = [this] { cboLogFiles_Click(); };
    c.cmdLogFiles.onClick = [this] { cmdLogFiles_Click(); };
    c.picHook.onTrayEvent = [this](ui::TrayEvent event) { pichook_MouseDown(event); };
}

void FrmSettings::Form_Load() {
    auto& list = ui().cboLogFiles;
    for (const wchar_t* entry : {L"Last 1 Day", L"Last 5 Days", L"Last 15 Days"}) {
        list.addItem(entry);
    }
}

std::wstring FrmSettings::runEntryData(const std::wstring& app_name, const std::wstring& app_path) {
    // Quoted, so that Windows cannot take the part of a path with blanks before the first blank
    // for a program of its own (C:\Program.exe for C:\Program Files\...).
    return L"\"" + app_path + L"\\" + app_name + L".exe\" " + kStartupArgument;
}

void FrmSettings::SetRunAtStartup(const std::wstring& app_name, const std::wstring& app_path,
                                  bool run_at_startup) {
    auto& registry = platform_.registry;
    const platform::Status opened = registry.createKey(kRunKey);
    if (!platform::ok(opened)) {
        host().messageBox(L"Error " + std::to_wstring(opened.code()) + L" opening key\r\n",
                          platform::kProgramTitle);
        return;
    }
    if (run_at_startup) {
        const platform::Status written =
            registry.writeString(kRunKey, app_name, runEntryData(app_name, app_path));
        if (!platform::ok(written)) {
            host().messageBox(L"Error " + std::to_wstring(written.code()) + L" setting key\r\n",
                              platform::kProgramTitle);
        }
    } else {
        // An entry that is not there is what was asked for.
        (void)registry.deleteValue(kRunKey, app_name);
    }
}

bool FrmSettings::WillRunAtStartup(const std::wstring& app_name) {
    return platform::ok(platform_.registry.queryValue(kRunKey, app_name));
}

void FrmSettings::optRun_Click() {
    SetRunAtStartup(platform::applicationName(platform_.system),
                    platform::executableFolder(platform_.system), true);
    auto& c = ui();
    c.chkSysTray.setEnabled(true);
    c.chkSysTray.setValue(ui::CheckBox::Checked);
}

void FrmSettings::optDontRun_Click() {
    SetRunAtStartup(platform::applicationName(platform_.system),
                    platform::executableFolder(platform_.system), false);
    auto& c = ui();
    c.chkSysTray.setEnabled(false);
    c.chkSysTray.setValue(ui::CheckBox::Unchecked);
}

void FrmSettings::chkSysTray_Click() {
    SettingsStore store(platform_.registry, platform_.locale);
    const bool checked = ui().chkSysTray.value() != ui::CheckBox::Unchecked;
    // Nothing goes by this box but the stored choice: start-up and the closing of this window
    // read the store and set the box from it, so a refused write leaves the old choice in both.
    (void)store.WriteSetting(platform::applicationName(platform_.system), L"Settings",
                             L"RunAtSysTray", checked ? L"True" : L"False");
}

void FrmSettings::Command1_Click() {
    unload();
}

void FrmSettings::cboLogFiles_Click() {
    logs_.purgeLogs(ui().cboLogFiles.listIndex());
}

void FrmSettings::cmdLogFiles_Click() {
    logs_.openLogFolder();
}

void FrmSettings::AddTrayIcon() {
    // A refused icon (the taskbar may not be up yet at log-on) still leaves the window hidden:
    // the host adds the icon again once the taskbar announces itself.
    (void)host().addTrayIcon(ui().picHook, kTrayTip);
    ui::Form& window = main_.mainForm();
    window.setWindowState(ui::WindowState::Minimized);
    window.hide();
}

void FrmSettings::RemoveTrayIcon() {
    host().removeTrayIcon(ui().picHook);
}

void FrmSettings::pichook_MouseDown(ui::TrayEvent event) {
    if (event == ui::TrayEvent::DoubleClick) {
        main_.mnuPop_Click();
    } else if (event == ui::TrayEvent::RightClick) {
        host().popupMenu(main_.mainForm(), main_.trayMenu(), &main_.trayMenuDefault());
    }
}

}  // namespace dustrel::settings
