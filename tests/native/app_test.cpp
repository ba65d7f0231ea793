// The program's start-up, the wizard's pages and its ways out, as the user meets them.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/custom_list.h"
#include "native/app_fixture.h"
#include "platform/program_info.h"
#include "settings/frm_custom_ext.h"
#include "settings/update_reminder.h"

namespace dustrel::testing {
namespace {

using Texts = std::vector<std::wstring>;
using Names = std::vector<std::string>;

const Texts kBuiltIns = {L"Temporary Files", L"Image Caches",      L"Help Files Caches",
                         L"Log Files",       L"Diagnostics Files", L"Backup Files"};
const wchar_t* const kUpdateQuestion = L"Do You Wish To Update The Software ?";
const std::wstring kStopped = L"An unexpected error stopped Dustrel";

// Checks the rules every window keeps (every control the user can reach inside its frame or
// window, none covering another by a pixel, the window's font) and returns its tab order.
Names checkWindow(const ui::Form& window) {
    SCOPED_TRACE(window.name());
    EXPECT_EQ(window.caption(), L"Dustrel v1.0");
    EXPECT_EQ(window.icon(), ui::Image::AppIcon);
    Names tabOrder;
    for (const ui::Control* control : window.controls()) {
        const auto* frame = dynamic_cast<const ui::Frame*>(&control->parent());
        const int width = frame != nullptr ? frame->rect().width : window.clientWidth();
        const int height = frame != nullptr ? frame->rect().height : window.clientHeight();
        const ui::Rect& r = control->rect();
        using enum ui::ControlKind;
        const ui::ControlKind kind = control->kind();
        if (control->tabStop()) {
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.left + r.width <= width &&
                        r.top + r.height <= height)
                << control->name();
            if (kind != Frame && kind != Label && kind != PictureBox && kind != ProgressBar) {
                tabOrder.push_back(control->name() +
                                   (control->index() >= 0 ? std::to_string(control->index()) : ""));
            }
        }
        // Frames hold their controls in the window's font, whatever their caption's.
        if (!control->hasOwnFont() && (frame == nullptr || !frame->hasOwnFont())) {
            EXPECT_EQ(control->font(), window.font()) << control->name();
        }
        for (const ui::Control* other : control->parent().children()) {
            const ui::Rect& o = other->rect();
            const bool shown = control->visible() && other->visible() && other != control &&
                               kind != Frame && other->kind() != Frame;
            // Sharing at least a pixel (15 twips) each way.
            EXPECT_FALSE(
                shown &&
                std::min(r.left + r.width, o.left + o.width) - std::max(r.left, o.left) >= 15 &&
                std::min(r.top + r.height, o.top + o.height) - std::max(r.top, o.top) >= 15)
                << control->name() << " " << other->name();
        }
    }
    return tabOrder;
}

// The fake clock reads 15 June 2024; the fake locale writes short dates as dd/MM/yyyy.
TEST_F(AppTest, FirstStartOpensTheDrivePageLaidOutWithNothingTickedOrEnabled) {
    FakeSystem& system = fakes.system;
    system.removeDrive(L'C');
    system.addDrive(L'E', platform::DriveKind::Fixed, {5, 7, 6});
    system.addDrive(L'D', platform::DriveKind::Removable);  // a USB stick
    system.addDrive(L'C', platform::DriveKind::Fixed, {1, 40007729152ULL, 12345678901ULL});
    system.addDrive(L'G', platform::DriveKind::Fixed, {});
    system.failSizes(L'G');
    auto& c = start();
    form.frmCustomExt().load();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(lastUpdate(), L"15/06/2024");  // recorded without asking
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    // Only fixed disks, in letter order; one whose sizes cannot be read has them blank.
    EXPECT_EQ(rowTexts(c.ListDrive), (Texts{L"C:\\", L"E:\\", L"G:\\"}));
    EXPECT_EQ(c.ListDrive.row(0).subItems, (Texts{L"Disk Drive", L"40007729152", L"12345678901"}));
    EXPECT_EQ(c.ListDrive.row(2).subItems, (Texts{L"Disk Drive", L"", L""}));
    EXPECT_EQ(rowTexts(c.lstOptions), kBuiltIns);
    EXPECT_LT(c.lstOptions.columns()[0].width, c.lstOptions.rect().width);  // room for a bar
    EXPECT_FALSE(c.cmdNext.enabled() || c.cmdNext1.enabled() || c.cmdDelete.enabled() ||
                 c.cmdRecycle.enabled() || c.cmdRecycle.visible() || c.picMessage.visible());
    EXPECT_TRUE(c.ListDrive.checkBoxes() && c.lstOptions.checkBoxes() && c.ListFiles.checkBoxes());
    EXPECT_EQ(c.Label5.font(), (ui::Font{L"Verdana", 12, true}));  // About's title
    EXPECT_FALSE(c.lstFilesDelete.checkBoxes());
    // The settings window is loaded, hidden, holding the creation state.
    EXPECT_TRUE(form.frmSettings().loaded() && !form.frmSettings().visible());
    EXPECT_EQ(settingsUi().cboLogFiles.listIndex(), -1);

    // Page by page: the side panel, About, deleted files, results, categories, drives.
    EXPECT_EQ(checkWindow(form),
              (Names{"cmdSettings", "cmdAddCustomExt", "cmdExit0", "cmdOK",     "lstFilesDelete",
                     "cmdBack2",    "cmdExitReboot",   "cmdExit2", "ListFiles", "cmdCheck",
                     "cmdClear",    "cmdStopScan",     "cmdBack",  "cmdDelete", "lstOptions",
                     "cmdCheckAll", "cmdClearAll",     "cmdBack1", "cmdNext1",  "ListDrive",
                     "cmdNext"}));
    EXPECT_EQ(checkWindow(form.frmSettings()),
              (Names{"cmdLogFiles", "optDontRun", "optRun", "cboLogFiles", "Command1"}));
    // The settings window's own look: its list's font and its frame's title colour.
    EXPECT_EQ(settingsUi().cboLogFiles.font(), (ui::Font{L"Verdana", 9.75, false}));
    EXPECT_EQ(settingsUi().Frame1.foreColor(), (ui::Color{4, 64, 115}));
    // The tray's hook and the tray choice are never seen.
    EXPECT_FALSE(settingsUi().picHook.visible() || settingsUi().chkSysTray.visible());
    // From the name box to Add, then to the extension box.
    EXPECT_EQ(checkWindow(form.frmCustomExt()), (Names{"txtExtType", "cmdAdd", "txtCustom"}));
    for (ui::Frame* page : form.pages()) {
        EXPECT_EQ(page->rect(), c.Frame2.rect()) << page->name();
    }
    EXPECT_TRUE(form.frmSettings().closesOnEscape() && form.frmCustomExt().closesOnEscape());
    EXPECT_FALSE(form.closesOnEscape());

    // The menu bar offers neither settings nor update; the hidden update entry still works, and
    // the links open their pages on the vendor's site.
    Texts bar;
    for (const auto& menu : form.menus()) {
        for (const auto& entry : menu->items()) {
            if (menu->visible() && entry->visible()) {
                bar.push_back(menu->caption() + L" " + entry->caption());
            }
        }
    }
    EXPECT_EQ(bar, (Texts{L"&File &Exit", L"&Help &Online Help", L"&Help &Visit Us Online",
                          L"&Help &About Software"}));
    c.Label8.click();
    c.Label10.click();
    c.mnuOnline.click();
    c.mnuVisit.click();
    form.mnuUpdate_Click();
    const std::wstring site = platform::kVendorSite;
    EXPECT_EQ(fakes.shell.opened(),
              (Texts{site + L"/", site + L"/contact-dustrel.html", site + L"/dustrel-help",
                     site + L"/", site + L"/download-dustrel.html"}));
    EXPECT_NE(c.Label8.caption().find(site), std::wstring::npos);
}

struct RunCase {
    bool entry;  // a Run entry is found
    const wchar_t* stored;
    const wchar_t* arguments;
    bool tray;
    bool doubleClick = false;  // on the icon while the update question waits
};

class StartupFromRunTest : public AppTest, public ::testing::WithParamInterface<RunCase> {};

// The Run entry found makes the tray choice "True" through the option's handler chain and is
// written again as it should be; only with it, and with the argument exactly, does the program
// start into the notification area, its window built and the update question still asked. The
// icon works meanwhile: a click does nothing, a right click offers the menu, and a double click
// shows the window once start-up has filled it; later the menu's Show restores it.
TEST_P(StartupFromRunTest, TheRunEntryAndTheExactArgumentStartIntoTheNotificationArea) {
    const RunCase& k = GetParam();
    storeTrayChoice(k.stored);
    storeScrambled(L"Register", L"LastUpdate", L"01/01/2024");
    if (k.entry) {
        fakes.registry.set(settings::kRunKey, kApp, L"C:\\Old\\Dustrel.exe /STARTUP");
    }
    fakes.system.arguments = k.arguments;
    const auto iconEvent = [this](ui::TrayEvent event) { settingsUi().picHook.trayEvent(event); };
    bool shownDuringQuestion = false;
    host.onMessageBox = [&](const MessageBoxCall&) {
        if (k.tray) {
            iconEvent(ui::TrayEvent::Click);
            iconEvent(k.doubleClick ? ui::TrayEvent::DoubleClick : ui::TrayEvent::RightClick);
            shownDuringQuestion = form.visible();
        }
    };
    auto& c = start();
    EXPECT_EQ(std::pair(settingsUi().optRun.value(), settingsUi().optDontRun.value()),
              std::pair(k.entry, !k.entry));
    EXPECT_EQ(settingsUi().chkSysTray.value() == ui::CheckBox::Checked, k.entry);
    EXPECT_TRUE(settingsUi().chkSysTray.enabled());
    // Without the entry nothing was clicked: the stored choice stays as it was.
    EXPECT_EQ(trayChoice(), k.entry ? L"True" : k.stored);
    EXPECT_EQ(runEntry(), k.entry ? std::optional<std::wstring>(kQuotedRunEntry) : std::nullopt);
    EXPECT_EQ(host.messageTexts(), Texts{kUpdateQuestion});
    EXPECT_TRUE(c.lstOptions.rowCount() == 6 && form.frontPage() == &c.Frame2);
    EXPECT_FALSE(shownDuringQuestion);
    EXPECT_EQ(host.trayAdds.size(), k.tray ? 1u : 0u);
    if (k.tray && !k.doubleClick) {
        EXPECT_TRUE(host.trayIconShown() && !form.visible() &&
                    form.windowState() == ui::WindowState::Minimized);
        EXPECT_TRUE(host.trayAdds[0].hook == &settingsUi().picHook && host.trayTip() == L"Recent");
        ASSERT_EQ(host.popups.size(), 1u);
        EXPECT_TRUE(host.popups[0].menu == &c.mnuPopUP && host.popups[0].defaultItem == &c.mnuPop);
        host.onPopup = [&](const PopupCall&) { return &c.mnuPop; };
        iconEvent(ui::TrayEvent::RightClick);
    }
    EXPECT_EQ(std::pair(host.trayIconShown(), form.windowState()),
              std::pair(false, ui::WindowState::Normal));
    EXPECT_TRUE(host.trayRemoves.size() == (k.tray ? 1u : 0u) && form.visible() == k.tray);
    EXPECT_EQ(thankYouPages(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartupFromRunTest,
                         ::testing::Values(RunCase{false, L"True", L"/STARTUP", false},
                                           RunCase{true, L"True", L"", false},
                                           RunCase{true, L"True", L"/startup", false},
                                           RunCase{true, L"True", L"-x /STARTUPNOW", true, true},
                                           RunCase{true, L"False", L"/STARTUP", true}));

TEST_F(AppTest, SecondCopyExplainsOpensTheThankYouPageAndEndsWithoutItsWindow) {
    // The first copy was started as Dustrel.exe, this one as DUSTREL.EXE: the same program.
    ASSERT_TRUE(fakes.system.claimSingleInstance(platform::applicationName(fakes.system)));
    fakes.system.executable = L"C:\\Program Files\\Dustrel\\DUSTREL.EXE";
    startedFromRunEntry();
    form.load();  // not start(): touching the controls afterwards would load the window again
    EXPECT_EQ(host.messageTexts(), Texts{L"Dustrel Is Already Running"});
    EXPECT_TRUE(thankYouPages() == 1 && host.endProgramCalls == 1);
    EXPECT_FALSE(form.loaded() || form.frmSettings().loaded());
    // Nothing else of the start-up ran: no reminder date, no tray icon, the Run entry untouched.
    EXPECT_TRUE(lastUpdate().empty() && host.trayAdds.empty() && runEntry() == kQuotedRunEntry);
}

// From the fifteenth day in either direction, or when the date cannot be read, the program
// asks; Yes opens the download page, and either answer moves the date to today when the store
// takes it (the next start asks again when it does not).
TEST_F(AppTest, UpdateReminderAsksFromTheFifteenthDayAndMovesTheDate) {
    fakes.clock.current = {2024, 6, 15, 23, 59, 59};
    const struct {
        const wchar_t* stored;
        bool asks;
        bool yes = false;
    } cases[] = {{L"01/06/2024", false}, {L"31/05/2024", true, true}, {L"29/06/2024", false},
                 {L"30/06/2024", true},  {L"not a date", true},       {L"31/02/2024", true}};
    const auto remind = [this] {
        settings::runUpdateReminder(store, kApp, fakes.clock, fakes.locale, host, fakes.shell);
    };
    for (const auto& k : cases) {
        host.messageBoxes.clear();
        host.answers = {k.yes ? ui::MessageBoxAnswer::Yes : ui::MessageBoxAnswer::No};
        const std::size_t opened = fakes.shell.opened().size();
        storeScrambled(L"Register", L"LastUpdate", k.stored);
        remind();
        EXPECT_EQ(host.messageTexts(), k.asks ? Texts{kUpdateQuestion} : Texts{}) << k.stored;
        EXPECT_EQ(fakes.shell.opened().size() - opened, k.yes ? 1u : 0u) << k.stored;
        EXPECT_EQ(lastUpdate(), k.asks ? L"15/06/2024" : k.stored);
    }
    EXPECT_EQ(fakes.shell.opened(), Texts{settings::vendorAddress(settings::kDownloadPagePath)});
    storeScrambled(L"Register", L"LastUpdate", L"15/06/2023");
    fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    remind();
    EXPECT_EQ(lastUpdate(), L"15/06/2023");
    EXPECT_EQ(host.messageBoxes.size(), 2u);
}

// Row 8 ("B") searches entry 5's extension, past the entry that had no "?" and those the
// custom-extension window would refuse, which are neither listed nor searched: "*" would list
// every file.
TEST_F(AppTest, CustomRowsFollowTheBuiltInOnesAndSearchTheirOwnExtensions) {
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

    // Only the first "?" splits; a name with nothing after the mark has an empty extension. Only
    // an entry the window would store makes a row.
    const app::CustomList marks = app::parseCustomList(L"Name?#a?b?c#?#?x#ok?x#");
    EXPECT_EQ(marks.names, (Texts{L"Name", L"a", L"", L"", L"ok", L""}));
    EXPECT_EQ(marks.extensions, (Texts{L"", L"b?c", L"", L"x", L"x", L""}));
    EXPECT_EQ(marks.rowEntries, (std::vector<std::size_t>{4}));
    const app::CustomList trailing = app::parseCustomList(L"A?x#rest?without end");
    EXPECT_EQ(trailing.entries, (Texts{L"A?x", L""}));
    EXPECT_EQ(trailing.rowEntries, (std::vector<std::size_t>{0}));
}

class WizardTest : public AppTest {
protected:
    void SetUp() override {
        fakes.system.addDrive(L'E', platform::DriveKind::Fixed, {1, 2, 3});
        start();
    }
};

TEST_F(WizardTest, NextWantsATickedDriveAndThenRecommendsClosingPrograms) {
    auto& c = form.ui();
    const std::wstring select = L"Please Select At Least One Disk Drive";
    c.cmdNext.setEnabled(true);
    c.cmdNext.click();
    // Ticking enables Next; unticking the last tick leaves it enabled.
    c.ListDrive.userToggle(1);
    c.ListDrive.userToggle(1);
    EXPECT_TRUE(c.cmdNext.enabled());
    c.cmdNext.click();
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    c.ListDrive.userToggle(0);
    c.cmdNext.click();
    EXPECT_EQ(host.messageTexts(),
              (Texts{select, select,
                     L"We recommend that you save and shut down all other programs while Dustrel "
                     L"is running."}));
    EXPECT_EQ(form.frontPage(), &c.Frame4);

    // On the categories page Next follows the ticks; Clear All takes the drive page's Next too.
    c.cmdCheckAll.click();
    EXPECT_EQ(c.lstOptions.checkedCount(), 6u);
    EXPECT_TRUE(c.cmdNext1.enabled());
    c.cmdClearAll.click();
    EXPECT_EQ(c.lstOptions.checkedCount(), 0u);
    EXPECT_FALSE(c.cmdNext1.enabled() || c.cmdNext.enabled());
    c.lstOptions.userToggle(3);
    c.lstOptions.userToggle(3);
    EXPECT_TRUE(c.cmdNext1.enabled());

    // About returns to the page it covered, with the drives unticked.
    form.showPage(c.Frame2);
    c.ListDrive.userToggle(1);
    form.showPage(c.Frame3);
    c.mnuAbout.click();
    EXPECT_EQ(form.frontPage(), &c.fraAbout);
    c.cmdOK.click();
    EXPECT_EQ(form.frontPage(), &c.Frame3);
    EXPECT_EQ(c.ListDrive.checkedCount(), 0u);
    EXPECT_TRUE(c.cmdNext.enabled());
}

// What the user sees of the wizard after each Back, from pages left in the same busy state.
struct Seen {
    const ui::Frame* page;
    std::size_t tickedDrives, tickedCategories, results, deleted;
    bool barShown, next, next1, deleteOn, recycleOn;
    std::wstring labels;
    bool operator==(const Seen&) const = default;
};

TEST_F(WizardTest, EachBackShowsItsPageWithWhatItKeeps) {
    auto& c = form.ui();
    const struct {
        ui::Frame& from;
        ui::Button& back;
        Seen expected;
    } cases[] = {
        {c.Frame4, c.cmdBack1, {&c.Frame2, 0, 0, 1, 1, true, false, false, true, true, L"*.tmpC:"}},
        {c.Frame3, c.cmdBack, {&c.Frame4, 1, 1, 0, 1, false, false, true, false, false, L""}},
        {c.Frame1, c.cmdBack2, {&c.Frame2, 0, 0, 1, 0, false, false, false, false, false, L""}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.back.name());
        c.ListDrive.setAllChecked(false);
        c.ListDrive.setChecked(0, true);
        c.lstOptions.setAllChecked(false);
        c.lstOptions.setChecked(2, true);
        c.ListFiles.clear();
        c.ListFiles.addRow(L"C:\\a.tmp");
        c.lstFilesDelete.clear();
        c.lstFilesDelete.addRow(L"C:\\gone.tmp");
        c.PBar.setMax(5000);
        c.PBar.setMin(3000);
        c.PBar.setEnabled(true);
        c.PBar.setVisible(true);
        c.lblExt.setCaption(L"*.tmp");
        c.lblPath.setCaption(L"C:");
        for (ui::Button* button : {&c.cmdNext, &c.cmdNext1, &c.cmdDelete, &c.cmdRecycle}) {
            button->setEnabled(true);
        }
        form.showPage(k.from);
        k.back.click();
        EXPECT_EQ((Seen{form.frontPage(), c.ListDrive.checkedCount(), c.lstOptions.checkedCount(),
                        c.ListFiles.rowCount(), c.lstFilesDelete.rowCount(),
                        c.PBar.visible() || c.PBar.enabled(), c.cmdNext.enabled(),
                        c.cmdNext1.enabled(), c.cmdDelete.enabled(), c.cmdRecycle.enabled(),
                        c.lblExt.caption() + c.lblPath.caption()}),
                  k.expected);
        if (!k.expected.barShown) {
            EXPECT_EQ(std::pair(c.PBar.min(), c.PBar.max()), std::pair(1.0, 100.0));  // ready again
        }
    }
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
    EXPECT_TRUE(thankYouPages() == 1 && host.endProgramCalls == 1 && form.programExit().ended());
    EXPECT_FALSE(form.loaded() || form.frmSettings().loaded() || form.frmCustomExt().loaded());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, ProgramExitTest,
    ::testing::Values(ExitPath{"ExitButton", [](app::FrmMain& f) { f.ui().cmdExit[0]->click(); }},
                      ExitPath{"FileMenuExit", [](app::FrmMain& f) { f.ui().mnuExit.click(); }},
                      ExitPath{"ExitWithoutReboot",
                               [](app::FrmMain& f) { f.ui().cmdExit2.click(); }},
                      ExitPath{"TrayMenuExit", [](app::FrmMain& f) { f.ui().mnuExit1.click(); }}),
    [](const ::testing::TestParamInfo<ExitPath>& info) { return info.param.name; });

TEST_F(AppTest, ExitWithRebootAsksForARestartAndStaysWhenRefused) {
    auto& c = start();
    form.showPage(c.Frame1);
    fakes.system.restartAnswer = platform::Status::AccessDenied;
    c.cmdExitReboot.click();
    EXPECT_EQ(fakes.system.restartRequests, 1);
    EXPECT_TRUE(thankYouPages() == 0 && host.endProgramCalls == 0 && host.messageBoxes.empty());
    EXPECT_TRUE(form.loaded() && form.frontPage() == &c.Frame1);
}

// An exception nothing expected is reported as far as it can be read.
TEST(FaultMessageTest, SaysWhatTheExceptionSaysAsFarAsItCanBeRead) {
    const struct {
        std::exception_ptr error;
        std::wstring text;
    } cases[] = {
        {std::make_exception_ptr(42), kStopped + L"."},
        {std::make_exception_ptr(std::runtime_error("caf\xC3\xA9 \n\x7F~")),
         kStopped + L": caf?? ??~"},
        {std::make_exception_ptr(std::runtime_error(std::string(500, 'x'))),
         kStopped + L": " + std::wstring(400, L'x')},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(ui::faultMessage(k.error), k.text);
    }
}

// Reported once in a stop box, whatever else fails or is tried while the box is up; then every
// window goes as the program's exits take them, without the thank-you page, and nothing runs
// any more.
TEST_F(AppTest, FaultIsReportedOnceThenTheProgramEndsAsItsExitsEndIt) {
    start();
    host.faultExpected = true;
    bool ranDuringReport = false;
    host.onMessageBox = [&](const MessageBoxCall&) {
        host.barrier([] { throw std::logic_error("second"); });  // a window's own fault
        act([&] { ranDuringReport = true; });
        form.ui().cmdExit[0]->click();
    };
    bool wentOn = false;
    act([&] {
        form.frmSettings().ui();
        // Raised directly by the handler: the handler that raised it goes no further either.
        act([] { throw std::runtime_error("boom"); });
        wentOn = true;
    });
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].caption + L" " + host.messageBoxes[0].text,
              L"Dustrel " + kStopped + L": boom");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_FALSE(ranDuringReport || wentOn || form.loaded() || form.frmSettings().loaded());
    EXPECT_TRUE(host.endProgramCalls == 1 && thankYouPages() == 0);
    act([&] { wentOn = true; });
    EXPECT_FALSE(wentOn);
}

}  // namespace
}  // namespace dustrel::testing
