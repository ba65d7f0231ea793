#include <gtest/gtest.h>

#include "app/custom_list.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using StartupTest = AppTest;
using Texts = std::vector<std::wstring>;

const Texts kBuiltIns = {L"Temporary Files", L"Image Caches",      L"Help Files Caches",
                         L"Log Files",       L"Diagnostics Files", L"Backup Files"};

TEST_F(StartupTest, FirstRunOpensTheDrivePageWithTheBuiltInCategoriesAndNothingEnabled) {
    auto& c = start();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    EXPECT_EQ(rowTexts(c.lstOptions), kBuiltIns);
    EXPECT_LT(c.lstOptions.columns()[0].width, c.lstOptions.rect().width);  // room for a bar
    for (const ui::Button* button : {&c.cmdNext, &c.cmdNext1, &c.cmdDelete, &c.cmdRecycle}) {
        EXPECT_FALSE(button->enabled()) << button->name();
    }
    EXPECT_FALSE(c.cmdRecycle.visible());
    EXPECT_FALSE(c.picMessage.visible());
    // The settings window is loaded, hidden, holding the creation state.
    EXPECT_FALSE(form.frmSettings().visible());
    EXPECT_TRUE(settingsUi().optDontRun.value());
    EXPECT_EQ(settingsUi().chkSysTray.value(), ui::CheckBox::Unchecked);
    EXPECT_EQ(settingsUi().cboLogFiles.items(),
              (Texts{L"Last 1 Day", L"Last 5 Days", L"Last 15 Days"}));
    EXPECT_EQ(settingsUi().cboLogFiles.listIndex(), -1);
    EXPECT_FALSE(runEntry());
    EXPECT_FALSE(host.trayIconShown());
    EXPECT_EQ(form.windowState(), ui::WindowState::Normal);
}

// The Run entry found makes the tray choice "True" through the option's handler chain, and
// with the argument the program starts into the notification area, its window built.
TEST_F(StartupTest, RunEntryWithTrayChoiceStartsIntoTheNotificationArea) {
    setRunEntry(L"C:\\Old\\Dustrel.exe /STARTUP");
    storeSetting(L"Settings", L"RunAtSysTray", L"False");
    fakes.system.arguments = L"/STARTUP";
    start();

    EXPECT_EQ(storedSetting(L"Settings", L"RunAtSysTray"), L"True");
    EXPECT_TRUE(settingsUi().optRun.value());
    EXPECT_FALSE(settingsUi().optDontRun.value());
    EXPECT_EQ(settingsUi().chkSysTray.value(), ui::CheckBox::Checked);
    EXPECT_TRUE(settingsUi().chkSysTray.enabled());
    EXPECT_EQ(runEntry(), kQuotedRunEntry);

    ASSERT_EQ(host.trayAdds.size(), 1u);
    EXPECT_EQ(host.trayAdds[0].hook, &settingsUi().picHook);
    EXPECT_EQ(host.trayTip(), L"Recent");
    EXPECT_EQ(form.windowState(), ui::WindowState::Minimized);
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(form.ui().lstOptions.rowCount(), 6u);
    EXPECT_EQ(form.frontPage(), &form.ui().Frame2);
}

TEST_F(StartupTest, StartupArgumentOnlyCountsWithTheRunEntryAndExactly) {
    struct Case {
        bool runEntry;
        const wchar_t* arguments;
        bool tray;
    };
    for (const Case& k :
         {Case{false, L"/STARTUP", false}, Case{true, L"", false}, Case{true, L"/startup", false},
          Case{true, L"/Startup", false}, Case{true, L"-x /STARTUPNOW", true}}) {
        SCOPED_TRACE(k.arguments);
        TestHost caseHost;
        FakePlatform caseFakes;
        app::AppContext caseContext{caseFakes.platform(), {}};
        app::FrmMain caseForm{caseHost, caseContext};
        settings::SettingsStore(caseFakes.registry, caseFakes.locale)
            .WriteSetting(kApp, L"Settings", L"RunAtSysTray", L"True");
        if (k.runEntry) {
            caseFakes.registry.set(settings::kRunKey, kApp, kQuotedRunEntry);
        }
        caseFakes.system.arguments = k.arguments;
        caseForm.load();

        EXPECT_EQ(caseHost.trayIconShown(), k.tray);
        EXPECT_EQ(caseForm.windowState() == ui::WindowState::Minimized, k.tray);
        auto& s = caseForm.frmSettings().ui();
        EXPECT_EQ(s.optRun.value(), k.runEntry);
        EXPECT_EQ(s.optDontRun.value(), !k.runEntry);
        if (!k.runEntry) {
            // Nothing was clicked: the stored choice stays as it was.
            EXPECT_EQ(s.chkSysTray.value(), ui::CheckBox::Unchecked);
            EXPECT_FALSE(caseFakes.registry.value(settings::kRunKey, kApp));
        }
    }
}

// "RunAtSysTray" cannot be stored, so it reads as "False" and "Do Not Run" wins, which deletes
// the Run entry.
TEST_F(StartupTest, UnwritableStoreLeavesTheProgramOutOfTheNotificationArea) {
    setRunEntry();
    fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    fakes.system.arguments = L"/STARTUP";
    start();
    EXPECT_TRUE(settingsUi().optDontRun.value());
    EXPECT_FALSE(runEntry());
    EXPECT_FALSE(host.trayIconShown());
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(StartupTest, SecondCopyExplainsOpensTheThankYouPageAndEndsWithoutItsWindow) {
    fakes.system.otherInstanceRunning = true;
    setRunEntry();
    fakes.system.arguments = L"/STARTUP";
    form.load();  // not start(): touching the controls afterwards would load the window again

    EXPECT_EQ(host.messageTexts(), Texts{L"Dustrel Is Already Running"});
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.frmSettings().loaded());
    // Nothing else of the start-up ran: no reminder date, no tray icon, the Run entry untouched.
    EXPECT_EQ(storedScrambled(L"Register", L"LastUpdate"), L"");
    EXPECT_TRUE(host.trayAdds.empty());
    EXPECT_EQ(runEntry(), kQuotedRunEntry);
}

// Started into the notification area while the update question waits: the icon already works.
class TrayDuringQuestionTest : public AppTest {
protected:
    void SetUp() override {
        storeScrambled(L"Register", L"LastUpdate", L"01/01/2020");
        setRunEntry();
        fakes.system.arguments = L"/STARTUP";
    }
};

// Exit from the tray menu ends the program there: start-up goes no further.
TEST_F(TrayDuringQuestionTest, ExitEndsTheStartUpThere) {
    host.onMessageBox = [this](const MessageBoxCall&) {
        host.onPopup = [this](const PopupCall&) { return &form.ui().mnuExit1; };
        settingsUi().picHook.trayEvent(ui::TrayEvent::RightClick);
    };
    act([this] { form.load(); });

    EXPECT_EQ(host.messageTexts(), Texts{L"Do You Wish To Update The Software ?"});
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(storedScrambled(L"Register", L"LastUpdate"), L"01/01/2020");
}

// A double click shows the window, but only once start-up has filled it.
TEST_F(TrayDuringQuestionTest, DoubleClickShowsTheWindowOnlyWhenItIsBuilt) {
    bool shownDuringQuestion = true;
    host.onMessageBox = [&](const MessageBoxCall&) {
        settingsUi().picHook.trayEvent(ui::TrayEvent::DoubleClick);
        shownDuringQuestion = form.visible();
    };
    act([this] { form.load(); });

    EXPECT_FALSE(shownDuringQuestion);
    EXPECT_TRUE(form.visible());
    EXPECT_FALSE(host.trayIconShown());
    EXPECT_EQ(form.ui().lstOptions.rowCount(), 6u);
}

// Row 8 ("B") searches entry 2's extension, past the entry that had no "?".
TEST_F(StartupTest, CustomRowsFollowTheBuiltInOnesAndSearchTheirOwnExtensions) {
    storeScrambled(L"CustomExt", L"Ext", L"A?x#no mark#B?y#Half?done");
    fakes.files.addFile(L"C:\\f.x");
    fakes.files.addFile(L"C:\\f.y");
    auto& c = start();

    auto expected = kBuiltIns;
    expected.insert(expected.end(), {L"A", L"B"});
    EXPECT_EQ(rowTexts(c.lstOptions), expected);
    c.ListDrive.setChecked(0, true);
    c.lstOptions.setChecked(7, true);
    act([this] { form.cmdNext1_Click(); });
    EXPECT_EQ(rowTexts(c.ListFiles), Texts{L"C:\\f.y"});
}

TEST(CustomListTest, ParsesEntriesAsStored) {
    const app::CustomList two = app::parseCustomList(L"A?x#B?y#");
    EXPECT_EQ(two.names, (Texts{L"A", L"B", L""}));
    EXPECT_EQ(two.extensions, (Texts{L"x", L"y", L""}));
    EXPECT_EQ(two.rowEntries, (std::vector<std::size_t>{0, 1}));

    const app::CustomList trailing = app::parseCustomList(L"A?x#rest?without end");
    EXPECT_EQ(trailing.entries, (Texts{L"A?x", L""}));
    EXPECT_EQ(trailing.rowEntries.size(), 1u);

    // Only the first "?" splits; a name with nothing after the mark has an empty extension.
    const app::CustomList marks = app::parseCustomList(L"Name?#a?b?c#?#");
    EXPECT_EQ(marks.names, (Texts{L"Name", L"a", L"", L""}));
    EXPECT_EQ(marks.extensions, (Texts{L"", L"b?c", L"", L""}));
    EXPECT_EQ(marks.rowEntries, (std::vector<std::size_t>{0, 1, 2}));

    EXPECT_TRUE(app::parseCustomList(L"").rowEntries.empty());
}

}  // namespace
}  // namespace dustrel::testing
