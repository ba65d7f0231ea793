#include <gtest/gtest.h>

#include "native/app_fixture.h"
#include "platform/program_info.h"
#include "settings/update_reminder.h"

namespace dustrel::testing {
namespace {

// The fake clock reads 15 June 2024; the fake locale writes short dates as dd/MM/yyyy.
TEST_F(AppTest, FirstRunRecordsTodayWithoutAsking) {
    start();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(storedScrambled(L"Register", L"LastUpdate"), L"15/06/2024");
}

// From the fifteenth day in either direction, or when the date cannot be read, the program
// asks; Yes opens the download page, and either answer moves the date to today.
TEST(UpdateReminderTest, AsksFromTheFifteenthDayAndMovesTheDate) {
    struct Case {
        const wchar_t* stored;
        bool asks;
        ui::MessageBoxAnswer answer = ui::MessageBoxAnswer::No;
    };
    for (const Case& k :
         {Case{L"01/06/2024", false}, Case{L"31/05/2024", true, ui::MessageBoxAnswer::Yes},
          Case{L"29/06/2024", false}, Case{L"30/06/2024", true}, Case{L"15/06/2023", true},
          Case{L"not a date", true}, Case{L"31/02/2024", true}}) {
        SCOPED_TRACE(k.stored);
        TestHost host;
        host.answers.push_back(k.answer);
        FakePlatform fakes;
        fakes.clock.current = {2024, 6, 15, 23, 59, 59};
        settings::SettingsStore s(fakes.registry, fakes.locale);
        const std::wstring key = s.EncodeSetting(L"LastUpdate");
        s.WriteSetting(L"Dustrel", L"Register", key, s.EncodeSetting(k.stored));

        settings::runUpdateReminder(s, L"Dustrel", fakes.clock, fakes.locale, host, fakes.shell);

        if (k.asks) {
            ASSERT_EQ(host.messageBoxes.size(), 1u);
            EXPECT_EQ(host.messageBoxes[0].text, L"Do You Wish To Update The Software ?");
            EXPECT_EQ(
                host.messageBoxes[0].style,
                (ui::MessageBoxStyle{ui::MessageBoxButtons::YesNo, ui::MessageBoxIcon::Warning}));
        } else {
            EXPECT_TRUE(host.messageBoxes.empty());
        }
        const bool yes = k.answer == ui::MessageBoxAnswer::Yes;
        EXPECT_EQ(fakes.shell.opened(),
                  yes ? std::vector{settings::vendorAddress(settings::kDownloadPagePath)}
                      : std::vector<std::wstring>{});
        EXPECT_EQ(s.DecodeSetting(s.ReadSetting(L"Dustrel", L"Register", key)),
                  k.asks ? L"15/06/2024" : k.stored);
    }
}

TEST_F(AppTest, ATrayStartStillAsks) {
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
