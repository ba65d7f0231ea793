#include <gtest/gtest.h>

#include <functional>

#include "app/custom_list.h"
#include "native/app_fixture.h"
#include "settings/update_reminder.h"

namespace dustrel::testing {
namespace {

using StartupTest = AppTest;
using Texts = std::vector<std::wstring>;

const Texts kBuiltIns = {L"Temporary Files", L"Image Caches",      L"Help Files Caches",
                         L"Log Files",       L"Diagnostics Files", L"Backup Files"};
const wchar_t* const kUpdateQuestion = L"Do You Wish To Update The Software ?";

// The fake clock reads 15 June 2024; the fake locale writes short dates as dd/MM/yyyy.
TEST_F(StartupTest, FirstRunOpensTheDrivePageWithTheBuiltInCategoriesAndNothingEnabled) {
    auto& c = start();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(lastUpdate(), L"15/06/2024");  // recorded without asking
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    EXPECT_EQ(rowTexts(c.lstOptions), kBuiltIns);
    EXPECT_LT(c.lstOptions.columns()[0].width, c.lstOptions.rect().width);  // room for a bar
    for (const ui::Button* button : {&c.cmdNext, &c.cmdNext1, &c.cmdDelete, &c.cmdRecycle}) {
        EXPECT_FALSE(button->enabled()) << button->name();
    }
    EXPECT_FALSE(c.cmdRecycle.visible());
    EXPECT_TRUE(c.ListDrive.checkBoxes() && c.lstOptions.checkBoxes() && c.ListFiles.checkBoxes());
    EXPECT_FALSE(c.lstFilesDelete.checkBoxes());
    EXPECT_FALSE(c.picMessage.visible());
    // The settings window is loaded, hidden, holding the creation state.
    EXPECT_FALSE(form.frmSettings().visible());
    EXPECT_EQ(settingsUi().cboLogFiles.items(),
              (Texts{L"Last 1 Day", L"Last 5 Days", L"Last 15 Days"}));
    EXPECT_EQ(settingsUi().cboLogFiles.listIndex(), -1);
}

struct RunCase {
    bool entry;  // a Run entry is found
    const wchar_t* stored;
    const wchar_t* arguments;
    bool tray;
};

class StartupFromRunTest : public AppTest, public ::testing::WithParamInterface<RunCase> {};

// The Run entry found makes the tray choice "True" through the option's handler chain and is
// written again as it should be; only with it, and with the argument exactly, does the program
// start into the notification area, its window built and the update question still asked.
TEST_P(StartupFromRunTest, TheRunEntryAndTheExactArgumentStartIntoTheNotificationArea) {
    const RunCase& k = GetParam();
    storeTrayChoice(k.stored);
    storeScrambled(L"Register", L"LastUpdate", L"01/01/2024");
    if (k.entry) {
        fakes.registry.set(settings::kRunKey, kApp, L"C:\\Old\\Dustrel.exe /STARTUP");
    }
    fakes.system.arguments = k.arguments;
    auto& c = start();

    EXPECT_EQ(settingsUi().optRun.value(), k.entry);
    EXPECT_EQ(settingsUi().optDontRun.value(), !k.entry);
    EXPECT_EQ(settingsUi().chkSysTray.value() == ui::CheckBox::Checked, k.entry);
    EXPECT_TRUE(settingsUi().chkSysTray.enabled());
    // Without the entry nothing was clicked: the stored choice stays as it was.
    EXPECT_EQ(trayChoice(), k.entry ? L"True" : k.stored);
    EXPECT_EQ(runEntry(), k.entry ? std::optional<std::wstring>(kQuotedRunEntry) : std::nullopt);
    EXPECT_EQ(host.trayIconShown(), k.tray);
    EXPECT_EQ(form.windowState() == ui::WindowState::Minimized, k.tray);
    EXPECT_EQ(host.messageTexts(), Texts{kUpdateQuestion});
    EXPECT_EQ(c.lstOptions.rowCount(), 6u);
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    if (k.tray) {
        EXPECT_FALSE(form.visible());
        ASSERT_EQ(host.trayAdds.size(), 1u);
        EXPECT_EQ(host.trayAdds[0].hook, &settingsUi().picHook);
        EXPECT_EQ(host.trayTip(), L"Recent");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StartupFromRunTest,
                         ::testing::Values(RunCase{false, L"True", L"/STARTUP", false},
                                           RunCase{true, L"True", L"", false},
                                           RunCase{true, L"True", L"/startup", false},
                                           RunCase{true, L"True", L"/Startup", false},
                                           RunCase{true, L"True", L"-x /STARTUPNOW", true},
                                           RunCase{true, L"False", L"/STARTUP", true}));

// "RunAtSysTray" cannot be stored, so it reads as "False" and "Do Not Run" wins, which deletes
// the Run entry.
TEST_F(StartupTest, UnwritableStoreLeavesTheProgramOutOfTheNotificationArea) {
    startedFromRunEntry();
    fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    start();
    EXPECT_TRUE(settingsUi().optDontRun.value());
    EXPECT_FALSE(runEntry());
    EXPECT_FALSE(host.trayIconShown());
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(StartupTest, SecondCopyExplainsOpensTheThankYouPageAndEndsWithoutItsWindow) {
    // The first copy was started as Dustrel.exe, this one as DUSTREL.EXE: the same program.
    ASSERT_TRUE(fakes.system.claimSingleInstance(platform::applicationName(fakes.system)));
    fakes.system.executable = L"C:\\Program Files\\Dustrel\\DUSTREL.EXE";
    startedFromRunEntry();
    form.load();  // not start(): touching the controls afterwards would load the window again
    EXPECT_EQ(host.messageTexts(), Texts{L"Dustrel Is Already Running"});
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.frmSettings().loaded());
    // Nothing else of the start-up ran: no reminder date, no tray icon, the Run entry untouched.
    EXPECT_EQ(lastUpdate(), L"");
    EXPECT_TRUE(host.trayAdds.empty());
    EXPECT_EQ(runEntry(), kQuotedRunEntry);
}

// Started into the notification area while the update question waits: the icon already works.
class TrayDuringQuestionTest : public AppTest {
protected:
    void SetUp() override {
        storeScrambled(L"Register", L"LastUpdate", L"01/01/2020");
        startedFromRunEntry();
    }
};

// Exit from the tray menu ends the program there: start-up goes no further.
TEST_F(TrayDuringQuestionTest, ExitEndsTheStartUpThere) {
    host.onMessageBox = [this](const MessageBoxCall&) {
        host.onPopup = [this](const PopupCall&) { return &form.ui().mnuExit1; };
        settingsUi().picHook.trayEvent(ui::TrayEvent::RightClick);
    };
    act([this] { form.load(); });
    EXPECT_EQ(host.messageTexts(), Texts{kUpdateQuestion});
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(lastUpdate(), L"01/01/2020");
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

struct ReminderCase {
    const wchar_t* stored;
    bool asks;
    ui::MessageBoxAnswer answer = ui::MessageBoxAnswer::No;
    bool refused = false;  // the store refuses today's date
};

class UpdateReminderTest : public AppTest, public ::testing::WithParamInterface<ReminderCase> {};

// From the fifteenth day in either direction, or when the date cannot be read, the program
// asks; Yes opens the download page, and either answer moves the date to today when the store
// takes it (the next start asks again when it does not).
TEST_P(UpdateReminderTest, AsksFromTheFifteenthDayAndMovesTheDate) {
    const ReminderCase& k = GetParam();
    host.answers.push_back(k.answer);
    fakes.clock.current = {2024, 6, 15, 23, 59, 59};
    storeScrambled(L"Register", L"LastUpdate", k.stored);
    if (k.refused) {
        fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    }
    settings::runUpdateReminder(store, kApp, fakes.clock, fakes.locale, host, fakes.shell);
    EXPECT_EQ(host.messageTexts(), k.asks ? Texts{kUpdateQuestion} : Texts{});
    EXPECT_EQ(fakes.shell.opened(),
              k.answer == ui::MessageBoxAnswer::Yes
                  ? Texts{settings::vendorAddress(settings::kDownloadPagePath)}
                  : Texts{});
    EXPECT_EQ(lastUpdate(), k.asks && !k.refused ? L"15/06/2024" : k.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, UpdateReminderTest,
    ::testing::Values(ReminderCase{L"01/06/2024", false},
                      ReminderCase{L"31/05/2024", true, ui::MessageBoxAnswer::Yes},
                      ReminderCase{L"29/06/2024", false}, ReminderCase{L"30/06/2024", true},
                      ReminderCase{L"15/06/2023", true}, ReminderCase{L"not a date", true},
                      ReminderCase{L"31/02/2024", true},
                      ReminderCase{L"15/06/2023", true, ui::MessageBoxAnswer::Yes, true}));

// Row 8 ("B") searches entry 5's extension, past the entry that had no "?" and those the
// custom-extension window would refuse, which are neither listed nor searched: "*" would list
// every file.
TEST_F(StartupTest, CustomRowsFollowTheBuiltInOnesAndSearchTheirOwnExtensions) {
    storeScrambled(L"CustomExt", L"Ext", L"A?x#no mark#All?*#Empty?#Path?..\\x#B?y#Half?done");
    for (const wchar_t* file : {L"C:\\f.x", L"C:\\f.y", L"C:\\f.z", L"C:\\y"}) {
        fakes.files.addFile(file);
    }
    auto& c = start();
    auto expected = kBuiltIns;
    expected.insert(expected.end(), {L"A", L"B"});
    EXPECT_EQ(rowTexts(c.lstOptions), expected);
    c.ListDrive.setChecked(0, true);
    c.lstOptions.setChecked(7, true);
    act([this] { form.cmdNext1_Click(); });
    EXPECT_EQ(rowTexts(c.ListFiles), Texts{L"C:\\f.y"});
    c.lstOptions.setChecked(6, true);
    act([this] { form.cmdNext1_Click(); });
    EXPECT_EQ(rowTexts(c.ListFiles), (Texts{L"C:\\f.x", L"C:\\f.y"}));
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
    // None of these is an entry the window would store, so none makes a row.
    const app::CustomList marks = app::parseCustomList(L"Name?#a?b?c#?#?x#ok?x#");
    EXPECT_EQ(marks.names, (Texts{L"Name", L"a", L"", L"", L"ok", L""}));
    EXPECT_EQ(marks.extensions, (Texts{L"", L"b?c", L"", L"x", L"x", L""}));
    EXPECT_EQ(marks.rowEntries, (std::vector<std::size_t>{4}));
    EXPECT_TRUE(app::parseCustomList(L"").rowEntries.empty());
}

struct ExitPath {
    const char* name;
    std::function<void(app::FrmMain&)> take;
};

class ProgramExitTest : public AppTest, public ::testing::WithParamInterface<ExitPath> {};

TEST_P(ProgramExitTest, UnloadsEveryWindowOpensTheThankYouPageOnceAndEnds) {
    auto& c = start();
    // The other two windows are loaded, as after a visit to each.
    form.frmCustomExt().load();
    form.showPage(c.Frame1);
    GetParam().take(form);
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.frmSettings().loaded());
    EXPECT_FALSE(form.frmCustomExt().loaded());
    EXPECT_TRUE(form.programExit().ended());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, ProgramExitTest,
    ::testing::Values(
        ExitPath{"ExitButton", [](app::FrmMain& f) { f.ui().cmdExit[0]->click(); }},
        ExitPath{"HiddenExitButton", [](app::FrmMain& f) { f.cmdExit_Click(1); }},
        ExitPath{"FileMenuExit", [](app::FrmMain& f) { f.ui().mnuExit.click(); }},
        ExitPath{"CloseBox", [](app::FrmMain& f) { f.unload(); }},
        ExitPath{"ExitWithoutReboot", [](app::FrmMain& f) { f.ui().cmdExit2.click(); }},
        ExitPath{"TrayMenuExit", [](app::FrmMain& f) { f.mnuExit1_Click(); }},
        ExitPath{"UnloadingEveryWindow", [](app::FrmMain& f) { f.programExit().UnloadAllForms(); }},
        ExitPath{"ExitTwice",
                 [](app::FrmMain& f) {
                     f.programExit().ExitProgram();
                     f.programExit().ExitProgram();
                 }}),
    [](const ::testing::TestParamInfo<ExitPath>& info) { return info.param.name; });

TEST_F(AppTest, ExitWithRebootAsksForARestartAndStaysWhenRefused) {
    auto& c = start();
    form.showPage(c.Frame1);
    fakes.system.restartAnswer = platform::Status::AccessDenied;
    c.cmdExitReboot.click();
    EXPECT_EQ(fakes.system.restartRequests, 1);
    EXPECT_EQ(thankYouPages(), 0);
    EXPECT_EQ(host.endProgramCalls, 0);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(form.frontPage(), &c.Frame1);
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace dustrel::testing
