// The settings window's Run entry, the settings store and the update reminder's date against the
// real registry and the real locale.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "settings/frm_settings.h"
#include "settings/settings_store.h"
#include "settings/update_reminder.h"
#include "support/fake_platform.h"
#include "support/test_host.h"

namespace dustrel {
namespace {

std::wstring uniqueName() {
    return L"DustrelWineTest" + std::to_wstring(GetCurrentProcessId()) + L"x" +
           std::to_wstring(GetTickCount64());
}

// The settings window only needs a main window for the notification-area icon.
class NoMainWindow : public settings::MainWindow {
public:
    explicit NoMainWindow(ui::UiHost& host) : form_(host, "frmMain") {}
    ui::Form& mainForm() override { return form_; }
    ui::MenuItem& trayMenu() override { return menu_; }
    ui::MenuItem& trayMenuDefault() override { return menu_; }
    void mnuPop_Click() override {}

private:
    struct Empty {
        explicit Empty(ui::Form&) {}
    };
    ui::FormOf<Empty> form_;
    ui::MenuItem menu_{form_, "mnuPopUP", L""};
};

class NoLogFolder : public settings::LogFolder {
public:
    void purgeLogs(int) override {}
    void openLogFolder() override {}
};

class SettingsRegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        HKEY run = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, settings::kRunKey, 0, KEY_SET_VALUE, &run) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(run, app_.c_str());
            RegCloseKey(run);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER,
                       (std::wstring(settings::kSettingsParentKey) + L"\\" + app_).c_str());
    }

    // What the registry itself holds under the Run key, read with the bare API.
    bool rawRunValue(std::wstring& data, DWORD& type) {
        wchar_t buffer[1024] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        const LONG status = RegGetValueW(HKEY_CURRENT_USER, settings::kRunKey, app_.c_str(),
                                         RRF_RT_ANY, &type, buffer, &size);
        data = buffer;
        return status == ERROR_SUCCESS;
    }

    const std::wstring app_ = uniqueName();
    platform::win32::Win32Platform real_;
    testing::TestHost host_;
};

TEST_F(SettingsRegistryTest, RunEntryIsWrittenQuotedReadBackAndDeleted) {
    NoMainWindow main(host_);
    NoLogFolder logs;
    settings::FrmSettings window(host_, real_.platform(), main, logs);
    EXPECT_FALSE(window.WillRunAtStartup(app_));

    window.SetRunAtStartup(app_, L"C:\\Program Files\\Dustrel", true);
    std::wstring data;
    DWORD type = 0;
    ASSERT_TRUE(rawRunValue(data, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, L"\"C:\\Program Files\\Dustrel\\" + app_ + L".exe\" /STARTUP");
    EXPECT_TRUE(window.WillRunAtStartup(app_));

    window.SetRunAtStartup(app_, L"C:\\Program Files\\Dustrel", false);
    EXPECT_FALSE(rawRunValue(data, type));
    EXPECT_FALSE(window.WillRunAtStartup(app_));
    // Deleting again is as quiet as the first time.
    window.SetRunAtStartup(app_, L"C:\\Program Files\\Dustrel", false);
    EXPECT_TRUE(host_.messageBoxes.empty());
}

TEST_F(SettingsRegistryTest, ReminderDateRoundTripsThroughTheStoreAndTheLocale) {
    testing::FakeClock clock;
    clock.current = {2026, 12, 5, 9, 5, 7};
    settings::SettingsStore store(real_.registry, real_.locale);
    const auto remind = [&] {
        settings::runUpdateReminder(store, app_, clock, real_.locale, host_, real_.shell);
    };
    const auto storedDate = [&] {
        return store.DecodeSetting(
            store.ReadSetting(app_, L"Register", store.EncodeSetting(L"LastUpdate")));
    };

    remind();
    EXPECT_TRUE(host_.messageBoxes.empty());
    const std::wstring first = storedDate();
    EXPECT_EQ(first, real_.locale.shortDate(clock.current));
    // Scrambled on disk: the raw value is not the date text itself.
    wchar_t raw[256] = {};
    DWORD size = sizeof(raw) - sizeof(wchar_t);
    const std::wstring key =
        std::wstring(settings::kSettingsParentKey) + L"\\" + app_ + L"\\Register";
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), store.EncodeSetting(L"LastUpdate").c_str(),
                     RRF_RT_REG_SZ, nullptr, raw, &size),
        ERROR_SUCCESS);
    EXPECT_NE(std::wstring(raw), first);

    clock.current = {2026, 12, 19, 0, 0, 0};  // 14 days on
    remind();
    EXPECT_TRUE(host_.messageBoxes.empty());
    EXPECT_EQ(storedDate(), first);

    clock.current = {2026, 12, 20, 0, 0, 0};  // 15 days on
    host_.answers.push_back(ui::MessageBoxAnswer::No);
    remind();
    EXPECT_EQ(host_.messageBoxes.size(), 1u);
    EXPECT_EQ(storedDate(), real_.locale.shortDate(clock.current));
}

}  // namespace
}  // namespace dustrel
