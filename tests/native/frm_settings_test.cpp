#include <gtest/gtest.h>

#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

class FrmSettingsTest : public AppTest {
protected:
    void SetUp() override { start(); }
    settings::FrmSettings& settingsForm() { return form.frmSettings(); }
};

TEST_F(FrmSettingsTest, RunAtStartUpWritesAQuotedRunEntryAndStoresTheTrayChoice) {
    settingsUi().optRun.userClick();
    EXPECT_EQ(runEntry(), kQuotedRunEntry);
    EXPECT_TRUE(settingsUi().chkSysTray.enabled());
    EXPECT_EQ(settingsUi().chkSysTray.value(), ui::CheckBox::Checked);
    EXPECT_EQ(trayChoice(), L"True");
    settingsUi().chkSysTray.userClick();
    EXPECT_EQ(trayChoice(), L"False");
    EXPECT_EQ(runEntry(), kQuotedRunEntry);

    settingsUi().optDontRun.userClick();
    EXPECT_FALSE(runEntry());
    EXPECT_FALSE(settingsUi().chkSysTray.enabled());
    EXPECT_EQ(settingsUi().chkSysTray.value(), ui::CheckBox::Unchecked);
    // Deleting an entry that is not there is silent.
    settingsForm().SetRunAtStartup(kApp, L"C:\\x", false);
    EXPECT_TRUE(host.messageBoxes.empty());

    // The entry follows the executable's name and folder; any value under the name counts.
    fakes.system.executable = L"D:\\My Tools\\Cleaner.EXE";
    settingsUi().optRun.userClick();
    EXPECT_EQ(fakes.registry.value(settings::kRunKey, L"Cleaner"),
              L"\"D:\\My Tools\\Cleaner.exe\" /STARTUP");
    EXPECT_EQ(store.ReadSetting(L"Cleaner", L"Settings", L"RunAtSysTray"), L"True");
    fakes.registry.set(settings::kRunKey, L"Other", L"C:\\elsewhere.exe");
    EXPECT_TRUE(settingsForm().WillRunAtStartup(L"Other"));
}

TEST_F(FrmSettingsTest, RegistryRefusalsAreReportedWithTheSystemsErrorCode) {
    fakes.registry.refuseWritesUnder(settings::kRunKey);
    settingsUi().optRun.userClick();
    EXPECT_EQ(host.messageTexts(), std::vector<std::wstring>{L"Error 5 opening key\r\n"});
    // The option stays chosen and the tray choice is still stored.
    EXPECT_TRUE(settingsUi().optRun.value());
    EXPECT_EQ(trayChoice(), L"True");

    fakes.registry = FakeRegistry();
    fakes.registry.refuseValueWrites();
    fakes.registry.refusal = {platform::Status::Failed, 1021};  // ERROR_CHILD_MUST_BE_VOLATILE
    settingsForm().SetRunAtStartup(kApp, L"C:\\Dustrel", true);
    EXPECT_EQ(host.messageBoxes.back().text, L"Error 1021 setting key\r\n");
}

TEST_F(FrmSettingsTest, ClosingTheDialogReloadsAFreshWindowFromTheStoredChoice) {
    host.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(&dialog, &settingsForm());
        settingsUi().optRun.userClick();
        // The user removes the entry by other means before closing; closing puts it back.
        EXPECT_TRUE(platform::ok(fakes.registry.deleteValue(settings::kRunKey, kApp)));
        settingsUi().Command1.click();
    };
    form.ui().cmdSettings.click();
    EXPECT_TRUE(settingsForm().loaded());
    EXPECT_FALSE(settingsForm().visible());
    EXPECT_TRUE(settingsUi().optRun.value());
    EXPECT_EQ(settingsUi().chkSysTray.value(), ui::CheckBox::Checked);
    EXPECT_EQ(runEntry(), kQuotedRunEntry);
    EXPECT_EQ(settingsUi().cboLogFiles.items().size(), 3u);

    host.onModal = [&](ui::Form&) {
        settingsUi().optDontRun.userClick();
        settingsForm().unload();  // the close box
    };
    form.cmdSettings_Click();
    EXPECT_TRUE(settingsUi().optDontRun.value());
    EXPECT_FALSE(runEntry());
}

// Started into the notification area, the icon ignores a click and offers its menu on a right
// click; the menu's Show (true) or a double click (false) restores the window.
class TrayTest : public AppTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TrayTest, AClickDoesNothingARightClickOffersTheMenuShowOrADoubleClickRestores) {
    startedFromRunEntry();
    auto& c = start();
    ASSERT_TRUE(host.trayIconShown());
    const auto iconEvent = [&](ui::TrayEvent event) { settingsUi().picHook.trayEvent(event); };
    iconEvent(ui::TrayEvent::Click);
    EXPECT_TRUE(host.popups.empty());
    iconEvent(ui::TrayEvent::RightClick);
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0].menu, &c.mnuPopUP);
    EXPECT_EQ(host.popups[0].defaultItem, &c.mnuPop);
    EXPECT_FALSE(form.visible());

    if (GetParam()) {
        host.onPopup = [&](const PopupCall&) { return &c.mnuPop; };
        iconEvent(ui::TrayEvent::RightClick);
    } else {
        iconEvent(ui::TrayEvent::DoubleClick);
    }
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.windowState(), ui::WindowState::Normal);
    EXPECT_FALSE(host.trayIconShown());
    EXPECT_EQ(host.trayRemoves.size(), 1u);
    EXPECT_EQ(thankYouPages(), 0);
}

INSTANTIATE_TEST_SUITE_P(ShowOrDoubleClick, TrayTest, ::testing::Bool());

}  // namespace
}  // namespace dustrel::testing
