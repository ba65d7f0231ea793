#pragma once

#include <string>

#include "platform/platform.h"
#include "settings/frm_settings_layout.h"
#include "settings/main_window.h"
#include "ui/form.h"

namespace dustrel::settings {

// The Windows Run key of the current user.
inline constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The argument the Run entry starts the program with.
inline constexpr const wchar_t* kStartupArgument = L"/STARTUP";
// The notification-area icon's tooltip.
inline constexpr const wchar_t* kTrayTip = L"Recent";

// The deletion logs' folder, which the settings window keeps in order; the cleaning side owns it.
class LogFolder {
public:
    // Deletes the logs older than the entry at `listIndex` of "Keep Log Files For" keeps.
    virtual void purgeLogs(int listIndex) = 0;
    // Opens the folder, or tells the user why there is none.
    virtual void openLogFolder() = 0;

protected:
    ~LogFolder() = default;
};

// The settings window: start with Windows, the log controls, and, hidden for the whole run, the
// window that receives the notification-area icon's messages.
class FrmSettings : public ui::FormOf<FrmSettingsControls> {
public:
    FrmSettings(ui::UiHost& host, const platform::Platform& platform, MainWindow& main,
                LogFolder& logs);

    // Writes the Run entry for `app_name` when `run_at_startup`, else deletes it.
    void SetRunAtStartup(const std::wstring& app_name, const std::wstring& app_path,
                         bool run_at_startup);
    // Whether the Run key holds a value named `app_name`, whatever it points to.
    bool WillRunAtStartup(const std::wstring& app_name);
    // The data of the Run entry: the quoted executable path, then the start-up argument.
    static std::wstring runEntryData(const std::wstring& app_name, const std::wstring& app_path);

    // Puts the icon into the notification area and hides the main window.
    void AddTrayIcon();
    void RemoveTrayIcon();

    void optRun_Click();
    void optDontRun_Click();
    void chkSysTray_Click();
    void Command1_Click();
    // Purges the log folder of the logs older than the chosen entry keeps.
    void cboLogFiles_Click();
    // "Open Log Folder".
    void cmdLogFiles_Click();
    // The notification-area icon: a double click shows the main window, a right click pops up
    // its menu.
    void pichook_MouseDown(ui::TrayEvent event);

protected:
    void createControls() override;
    void Form_Load() override;

private:
    platform::Platform platform_;
    MainWindow& main_;
    LogFolder& logs_;
};

}  // namespace dustrel::settings
