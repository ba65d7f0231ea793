#include <gtest/gtest.h>

#include "native/app_fixture.h"
#include "platform/program_info.h"
#include "settings/update_reminder.h"

namespace dustrel::testing {
namespace {

// The fake clock reads 15 June 2024; the fake locale writes short dates as dd/MM/yyyy.
class UpdateReminderTest : public AppTest {
protected:
    std::wstring download() { return settings::vendorAddress(settings::kDownloadPagePath); }
    bool downloadOpened() {
        const auto& opened = fakes.shell.opened();
        return std::find(opened.begin(), opened.end(), download()) != opened.end();
    }
};

TEST_F(UpdateReminderTest, FirstRunRecordsTodayWithoutAsking) {
    auto& c = start();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(storedScrambled(L"Register", L"LastUpdate"), L"15/06/2024");
    EXPECT_EQ(form.frontPage(), &c.Frame2);
}

TEST_F(UpdateReminderTest, AsksFromTheFifteenthDayInEitherDirection) {
    struct Case {
        const wchar_t* stored;
        bool asks;
    };
    for (const Case& k :
         {Case{L"01/06/2024", false}, Case{L"31/05/2024", true}, Case{L"29/06/2024", false},
          Case{L"30/06/2024", true}, Case{L"15/06/2023", true}, Case{L"not a date", true},
          Case{L"31/02/2024", true}}) {
        SCOPED_TRACE(k.stored);
        TestHost caseHost;
        FakePlatform caseFakes;
        caseFakes.clock.current = {2024, 6, 15, 23, 59, 59};
        settings::SettingsStore s(caseFakes.registry, caseFakes.locale);
        s.WriteSetting(kApp, L"Register", s.EncodeSetting(L"LastUpdate"),
                       s.EncodeSetting(k.stored));
        settings::runUpdateReminder(s, kApp, caseFakes.clock, caseFakes.locale, caseHost,
                                    caseFakes.shell);
        EXPECT_EQ(caseHost.messageBoxes.size(), k.asks ? 1u : 0u);
        const std::wstring after =
            s.DecodeSetting(s.ReadSetting(kApp, L"Register", s.EncodeSetting(L"LastUpdate")));
        EXPECT_EQ(after, k.asks ? L"15/06/2024" : k.stored);
    }
}

TEST_F(UpdateReminderTest, YesOpensTheDownloadPageAndEitherAnswerMovesTheDate) {
    storeScrambled(L"Register", L"LastUpdate", L"01/01/2024");
    host.answers.push_back(ui::MessageBoxAnswer::Yes);
    start();
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, L"Do You Wish To Update The Software ?");
    EXPECT_EQ(host.messageBoxes[0].caption, L"Dustrel");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::YesNo, ui::MessageBoxIcon::Warning}));
    EXPECT_TRUE(downloadOpened());
    EXPECT_EQ(storedScrambled(L"Register", L"LastUpdate"), L"15/06/2024");
    EXPECT_EQ(form.frontPage(), &form.ui().Frame2);

    TestHost noHost;
    noHost.answers.push_back(ui::MessageBoxAnswer::No);
    FakePlatform noFakes;
    settings::SettingsStore s(noFakes.registry, noFakes.locale);
    s.WriteSetting(kApp, L"Register", s.EncodeSetting(L"LastUpdate"), s.EncodeSetting(L"x"));
    settings::runUpdateReminder(s, kApp, noFakes.clock, noFakes.locale, noHost, noFakes.shell);
    EXPECT_TRUE(noFakes.shell.opened().empty());
    EXPECT_EQ(s.DecodeSetting(s.ReadSetting(kApp, L"Register", s.EncodeSetting(L"LastUpdate"))),
              L"15/06/2024");
}

TEST_F(UpdateReminderTest, ATrayStartStillAsks) {
    storeScrambled(L"Register", L"LastUpdate", L"01/01/2024");
    setRunEntry();
    storeSetting(L"Settings", L"RunAtSysTray", L"True");
    fakes.system.arguments = L"/STARTUP";
    start();
    EXPECT_TRUE(host.trayIconShown());
    EXPECT_EQ(host.messageBoxes.size(), 1u);
}

TEST_F(AppTest, LinksOpenTheirPagesOnTheVendorsSite) {
    auto& c = start();
    c.Label8.click();
    c.Label10.click();
    c.mnuOnline.click();
    c.mnuVisit.click();
    form.mnuUpdate_Click();  // its menu entry is hidden
    const std::wstring site = platform::kVendorSite;
    EXPECT_EQ(fakes.shell.opened(),
              (std::vector<std::wstring>{site + L"/", site + L"/contact-dustrel.html",
                                         site + L"/dustrel-help", site + L"/",
                                         site + L"/download-dustrel.html"}));
    EXPECT_NE(c.Label8.caption().find(site), std::wstring::npos);
}

}  // namespace
}  // namespace dustrel::testing
