// The settings store, the settings window with the notification area, the custom-extension
// window and the log folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "clean/log_folder.h"
#include "native/app_fixture.h"
#include "settings/custom_entry.h"
#include "settings/frm_custom_ext.h"
#include "ui/control_order.h"

namespace dustrel::testing {
namespace {

using Texts = std::vector<std::wstring>;

// Each value is kept under the program's key, named after its executable; some are scrambled.
TEST_F(AppTest, StoreReadsTheLastWriteOrTheDefaultAndScramblesWhatItIsGiven) {
    const auto read = [this](const wchar_t* app) {
        return store.ReadSetting(app, L"Settings", L"RunAtSysTray", L"False");
    };
    EXPECT_EQ(read(kApp) + L"|" + trayChoice(), L"False|");
    storeTrayChoice(L"one");
    storeTrayChoice(L"True");
    EXPECT_EQ(fakes.registry.value(L"Software\\Dustrel\\Dustrel\\Settings", L"RunAtSysTray"),
              L"True");
    EXPECT_EQ(read(kApp) + L"|" + read(L"Cleaner"), L"True|False");

    // Scrambling shifts every printable character and drops what cannot shift.
    std::wstring printable;
    for (wchar_t c = 32; c <= 126; ++c) {
        printable += c;
    }
    const std::wstring encoded = store.EncodeSetting(printable);
    EXPECT_EQ(encoded.front() + 0, L' ' + settings::kScrambleOffset);
    EXPECT_EQ(encoded.back() + 0, L'~' + settings::kScrambleOffset);
    EXPECT_EQ(store.DecodeSetting(encoded), printable);
    // Code page 1252 holds every code from 0xA0 up as the same Unicode character.
    const wchar_t top = static_cast<wchar_t>(255 - settings::kScrambleOffset);  // shifts to 255
    const std::wstring text = std::wstring(L"a") + wchar_t(top + 1) + L"b" + L"\u65E5" + top;
    EXPECT_EQ(store.EncodeSetting(text), store.EncodeSetting(L"ab") + L"\u00FF");
    EXPECT_EQ(store.DecodeSetting(store.EncodeSetting(text)), std::wstring(L"ab") + top);
    // Decoding drops what no encoding produced: codes below the offset; the offset itself
    // gives code 0.
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, L'\0') + store.EncodeSetting(L"z")), L"z");
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, wchar_t(settings::kScrambleOffset))),
              std::wstring(1, L'\0'));
}

constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";

std::wstring inFolder(const std::wstring& name) {
    return std::wstring(kLogFolder) + L"\\" + name;
}

class SettingsTest : public AppTest {
protected:
    void SetUp() override {
        start();
        // Today is 5 December 2026; the fake locale writes dates day first, which the log
        // names' month-first digits must not be read by.
        fakes.clock.current = {2026, 12, 5, 10, 0, 0};
    }
    settings::FrmSettings& settingsForm() { return form.frmSettings(); }
    settings::FrmCustomExtControls& ext() { return form.frmCustomExt().ui(); }
    void add(const std::wstring& name, const std::wstring& extension) {
        ext().txtExtType.setText(name);
        ext().txtCustom.setText(extension);
        ext().cmdAdd.click();
    }
};

// The dialog writes the Run entry and the tray choice as they are clicked; closing it puts back
// an entry removed meanwhile, and it opens again freshly loaded from what is stored.
TEST_F(SettingsTest, RunAtStartUpWritesAQuotedRunEntryAndStoresTheTrayChoice) {
    host.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(&dialog, &settingsForm());
        settingsUi().optRun.userClick();
        EXPECT_TRUE(settingsUi().chkSysTray.enabled() &&
                    settingsUi().chkSysTray.value() == ui::CheckBox::Checked);
        EXPECT_EQ(trayChoice(), L"True");
        settingsUi().chkSysTray.userClick();
        EXPECT_EQ(trayChoice(), L"False");
        settingsUi().chkSysTray.userClick();
        EXPECT_TRUE(platform::ok(fakes.registry.deleteValue(settings::kRunKey, kApp)));
        settingsUi().Command1.click();
    };
    form.ui().cmdSettings.click();
    EXPECT_TRUE(settingsForm().loaded() && !settingsForm().visible());
    EXPECT_TRUE(settingsUi().optRun.value() &&
                settingsUi().chkSysTray.value() == ui::CheckBox::Checked);
    EXPECT_EQ(runEntry(), kQuotedRunEntry);
    EXPECT_EQ(settingsUi().cboLogFiles.items().size(), 3u);
    host.onModal = [&](ui::Form&) {
        settingsUi().optDontRun.userClick();
        EXPECT_FALSE(runEntry() || settingsUi().chkSysTray.enabled() ||
                     settingsUi().chkSysTray.value());
        settingsForm().unload();  // the close box
    };
    form.cmdSettings_Click();
    settings::FrmSettingsControls& s = settingsUi();
    EXPECT_TRUE(s.optDontRun.value() && !runEntry());
    settingsForm().SetRunAtStartup(kApp, L"C:\\x", false);  // not there: silent
    EXPECT_TRUE(host.messageBoxes.empty());

    // Refusals are reported with the system's error code; the option stays chosen and the tray
    // choice is still stored.
    storeTrayChoice(L"False");
    fakes.registry.refuseWritesUnder(settings::kRunKey);
    s.optRun.userClick();
    EXPECT_TRUE(s.optRun.value() && trayChoice() == L"True");
    fakes.registry = FakeRegistry();
    fakes.registry.refuseValueWrites();
    fakes.registry.refusal = {platform::Status::Failed, 1021};  // ERROR_CHILD_MUST_BE_VOLATILE
    settingsForm().SetRunAtStartup(kApp, L"C:\\Dustrel", true);
    EXPECT_EQ(host.messageTexts(),
              (Texts{L"Error 5 opening key\r\n", L"Error 1021 setting key\r\n"}));

    // The entry follows the executable's name and folder; any value under the name counts.
    fakes.registry = FakeRegistry();
    s.optDontRun.userClick();
    fakes.system.executable = L"D:\\My Tools\\Cleaner.EXE";
    s.optRun.userClick();
    EXPECT_EQ(fakes.registry.value(settings::kRunKey, L"Cleaner"),
              L"\"D:\\My Tools\\Cleaner.exe\" /STARTUP");
    EXPECT_EQ(store.ReadSetting(L"Cleaner", L"Settings", L"RunAtSysTray"), L"True");
    fakes.registry.set(settings::kRunKey, L"Other", L"C:\\elsewhere.exe");
    EXPECT_TRUE(settingsForm().WillRunAtStartup(L"Other"));
}

TEST_F(SettingsTest, CustomEntriesAreStoredInOrderForTheNextStart) {
    const wchar_t* const restart = L"Please ReStart The Application To See The Custom Extension.";
    host.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(&dialog, &form.frmCustomExt());
        add(L"  Temp Data ", L" tmp2");
        EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"), L"Temp Data?tmp2#");
        EXPECT_EQ(ext().txtExtType.text() + ext().txtCustom.text(), L"");
        EXPECT_EQ(form.frmCustomExt().focusedControl(), &ext().txtExtType);
        // Enter in a field adds.
        EXPECT_EQ(ui::enterButton(form.frmCustomExt(), &ext().txtExtType), &ext().cmdAdd);
        add(L"Backups", L"bk1");
        add(L"Backups", L"bk1");
    };
    form.ui().cmdAddCustomExt.click();
    const std::wstring stored = L"Temp Data?tmp2#Backups?bk1#Backups?bk1#";
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext") + L"|" + context.state.CustomExtValue,
              stored + L"|" + stored);
    // The running program's list is unchanged; start-up reads the stored list.
    EXPECT_EQ(form.ui().lstOptions.rowCount(), 6u);

    // The list is what was written, even when it cannot be read back; a refused write keeps it
    // as it was, even when the store cannot be read either.
    fakes.registry.refuseReadsUnder(L"Software\\Dustrel");
    add(L"C", L"z");
    EXPECT_EQ(context.state.CustomExtValue, stored + L"C?z#");
    fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    add(L"B", L"y");
    EXPECT_EQ(context.state.CustomExtValue, stored + L"C?z#");
    EXPECT_EQ(host.messageTexts(), Texts(5, restart));
}

// What the window refuses, start-up passes over in a stored list: nothing that would make the
// extension's pattern match more than files of that extension.
TEST_F(SettingsTest, CustomEntriesRefuseEmptyFieldsAndWhatWouldBreakTheListOrThePattern) {
    const wchar_t* missing = L"Please Provide All Information";
    const wchar_t* characters = L"Please Do Not Use These Characters: ? # * \\ / : < > | \"";
    std::vector<std::array<std::wstring, 3>> cases = {
        {L"", L"tmp", missing},
        {L" \t ", L"tmp", missing},
        {L"Name", L"   ", missing},
        {L"a?b", L"tmp", characters},
        {L"a#b", L"tmp", characters},
        {L"Name", std::wstring(255, L'e'), L"The Extension Is Too Long"}};
    for (const wchar_t* bad : {L"?", L"#", L"*", L"\\", L"/", L":", L"<", L">", L"|", L"\"",
                               L"t\tmp", L"t\x01", L"\x1f"}) {
        cases.push_back({L"Name", bad, characters});
    }
    for (const auto& [name, extension, message] : cases) {
        host.messageBoxes.clear();
        ext().cmdAdd.setFocus();
        add(name, extension);
        EXPECT_EQ(host.messageTexts(), Texts{message}) << name << L" / " << extension;
        // Where something is missing, the user types on there.
        const ui::Control* empty = name == L"Name" ? &ext().txtCustom : &ext().txtExtType;
        EXPECT_EQ(form.frmCustomExt().focusedControl(), message == missing ? empty : &ext().cmdAdd);
        EXPECT_EQ(ext().txtExtType.text() + L"/" + ext().txtCustom.text(), name + L"/" + extension);
        EXPECT_NE(settings::checkCustomEntry(name, extension), settings::CustomEntryFault::None);
    }
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext") + context.state.CustomExtValue, L"");

    // Names may hold what only an extension must not; an extension may fill a name by itself.
    const std::wstring longest(254, L'e');
    add(L"C:/* <files>.", L"tmp 2");
    add(L"Long", longest);
    add(L"Archives", L"tar.gz");
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"),
              L"C:/* <files>.?tmp 2#Long?" + longest + L"#Archives?tar.gz#");
}

// Only deletion logs older than the chosen number of days go: not other files, a folder or a log
// held open, nor names that only look like a log's (no date, a date that does not exist, another
// program's prefix). A log's age counts from its name's month-first date to today, either way.
TEST_F(SettingsTest, LogPurgeKeepsTheLogsOfTheChosenNumberOfDaysAndEverythingElse) {
    constexpr int kNoLog = -1;
    // Each name with the age of its log in days; the first is held open.
    const std::vector<std::pair<std::wstring, int>> files{
        // clang-format off
        {L"Dustrel-03012020-1.log", kNoLog},     {L"Dustrel-01012020-1.txt", kNoLog},
        {L"notes.txt", kNoLog},
        {L"Dustrel-13012020-1.log", kNoLog},     {L"Dustrel-02292025-1.log", kNoLog},
        {L"Dustrel-00002020-1.log", kNoLog},     {L"Dustrel-0101202x-1.log", kNoLog},
        {L"Dustrel-0101.log", kNoLog},           {L"MyDustrel-01012020-1.log", kNoLog},
        {L"Dustrel-12052026-957.log", 0},        {L"Dustrel-12042026-235959.log", 1},
        {L"Dustrel-12012026-1030.log", 4},       {L"dustrel-11292026-1.LOG", 6},
        {L"Dustrel-11252026-83015.log", 10},     {L"Dustrel-12252026-1200.log", 20},
        {L"Dustrel-02292024-1.log", 1000},       {L"Dustrel-01012020.log", 2000},
        {L"Dustrel-01010001-1.log", 700000},
        // clang-format on
    };
    ui::ComboBox& choice = settingsUi().cboLogFiles;
    choice.setListIndex(0);  // with no folder yet
    const int daysKept[] = {1, 5, 15};
    for (const int entry : {0, 1, 2}) {
        choice.setListIndex(-1);
        (void)fakes.files.remove(kLogFolder);
        Texts kept;
        for (const auto& [name, age] : files) {
            fakes.files.addFile(inFolder(name), "log");
            if (age <= daysKept[entry]) {
                kept.push_back(inFolder(name));
            }
        }
        fakes.files.addFolder(inFolder(L"Dustrel-01012020-1.log"));
        fakes.files.lock(inFolder(L"Dustrel-03012020-1.log"));
        choice.setListIndex(entry);
        std::ranges::sort(kept);
        EXPECT_EQ(fakes.files.allFiles(), kept) << entry;
    }
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(clean::daysKeptFor(-1), 0);
    EXPECT_EQ(clean::daysKeptFor(3), 0);
}

// The arrow keys on the closed list pass over entries on the way to the one wanted: only that
// one purges, once, when the user settles on it, or closes the window. Code's choice is settled.
TEST_F(SettingsTest, LogPurgeGoesByTheEntrySettledOnNotThosePassedOver) {
    const Texts logs{inFolder(L"Dustrel-11252026-1.log"), inFolder(L"Dustrel-12022026-1.log")};
    // Of the logs 10 and 3 days old, how many are left; then both are there again.
    const auto left = [&](std::size_t count) {
        EXPECT_EQ(fakes.files.allFiles(), Texts(logs.end() - count, logs.end()));
        for (const std::wstring& log : logs) {
            fakes.files.addFile(log, "log");
        }
    };
    left(0);
    ui::ComboBox& list = settingsUi().cboLogFiles;
    list.userBrowse(0);  // "Last 1 Day"
    list.userBrowse(3);  // no such entry
    list.userBrowse(1);
    left(2);
    list.userSettle();
    left(1);
    list.userSettle();
    left(2);
    list.userSelect(0);  // a pick from the open list
    left(0);
    list.setListIndex(1);
    left(1);
    list.userBrowse(0);
    list.userBrowse(1);
    list.userSettle();
    left(2);
    list.setEnabled(false);
    list.userSelect(0);
    left(2);
    list.setEnabled(true);
    list.userBrowse(0);
    form.frmSettings().unload();
    left(0);
}

TEST_F(SettingsTest, OpensTheLogFolderOrSaysWhyThereIsNone) {
    settingsUi().cmdLogFiles.click();
    fakes.files.addFile(kLogFolder, "not a folder");
    settingsUi().cboLogFiles.setListIndex(1);  // purges nothing
    settingsUi().cmdLogFiles.click();
    EXPECT_EQ(fakes.files.contents(kLogFolder), "not a folder");
    ASSERT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(host.messageBoxes[1].caption + L": " + host.messageBoxes[1].text,
              L"Dustrel: "
              L"Dustrel has not been used on your computer\rOr, The folder 'Log Files' has been "
              L"removed from your computer\r\rThe folder 'Log Files' will be created only when "
              L"you have removed junk files from your computer.");
    EXPECT_EQ(host.messageBoxes[0].text, host.messageBoxes[1].text);
    EXPECT_EQ(host.messageBoxes[1].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_TRUE(fakes.shell.opened().empty());

    ASSERT_TRUE(platform::ok(fakes.files.remove(kLogFolder)));
    fakes.files.addFolder(kLogFolder);
    settingsUi().cmdLogFiles.click();
    EXPECT_TRUE(fakes.shell.opened() == Texts{kLogFolder} && host.messageBoxes.size() == 2);
}

}  // namespace
}  // namespace dustrel::testing
