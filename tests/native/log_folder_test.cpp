#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/log_folder.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Names = std::vector<std::wstring>;

constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";

class LogFolderTest : public AppTest {
protected:
    void SetUp() override {
        start();
        // Today is 5 December 2026; the fake locale writes dates day first, which the names'
        // month-first digits must not be read by.
        fakes.clock.current = {2026, 12, 5, 10, 0, 0};
    }

    void addLogs(const Names& names) {
        for (const std::wstring& name : names) {
            fakes.files.addFile(std::wstring(kLogFolder) + L"\\" + name, "log");
        }
    }
    Names remaining() {
        std::vector<platform::FolderEntry> entries;
        (void)fakes.files.listFolder(kLogFolder, entries);  // none when there is no folder
        Names names;
        for (const auto& entry : entries) {
            names.push_back(entry.name);
        }
        return names;
    }
    void choose(int entry) { settingsUi().cboLogFiles.setListIndex(entry); }
};

TEST_F(LogFolderTest, KeepsTheLogsOfTheChosenNumberOfDays) {
    const Names logs{
        L"Dustrel-12012026-1030.log",    // 4 days ago
        L"Dustrel-11252026-83015.log",   // 10 days ago
        L"Dustrel-11042026-1.log",       // 31 days ago
        L"Dustrel-12042026-235959.log",  // yesterday
        L"Dustrel-12052026-957.log",     // today
        L"Dustrel-12252026-1200.log",    // 20 days ahead
        L"dustrel-11292026-1.LOG",       // 6 days ago, in another case
    };
    struct Case {
        int entry;
        Names kept;
    };
    for (const Case& test : {
             Case{0, {L"Dustrel-12042026-235959.log", L"Dustrel-12052026-957.log"}},
             Case{1,
                  {L"Dustrel-12012026-1030.log", L"Dustrel-12042026-235959.log",
                   L"Dustrel-12052026-957.log"}},
             Case{2,
                  {L"Dustrel-12012026-1030.log", L"Dustrel-11252026-83015.log",
                   L"Dustrel-12042026-235959.log", L"Dustrel-12052026-957.log",
                   L"dustrel-11292026-1.LOG"}},
         }) {
        SCOPED_TRACE(test.entry);
        settingsUi().cboLogFiles.setListIndex(-1);
        (void)fakes.files.remove(kLogFolder);  // not there the first time
        addLogs(logs);
        choose(test.entry);
        EXPECT_EQ(remaining(), test.kept);
    }
    EXPECT_EQ(clean::daysKeptFor(-1), 0);
    EXPECT_EQ(clean::daysKeptFor(3), 0);
}

TEST_F(LogFolderTest, DeletesNothingButDeletionLogs) {
    const Names others{
        L"notes.txt",
        L"Dustrel-01012020-1.txt",  // not a log
        L"Dustrel-13012020-1.log",  // month 13
        L"Dustrel-02292025-1.log",  // no 29 February in 2025
        L"Dustrel-00002020-1.log",
        L"Dustrel-0101202x-1.log",
        L"Dustrel-0101.log",       // too short for a date
        L"Dustrel-01012020",       // no extension
        L"Report-01012020-1.log",  // another program's log
        L"MyDustrel-01012020-1.log",
    };
    addLogs(others);
    addLogs({L"Dustrel-02292024-1.log", L"Dustrel-01012020.log"});
    fakes.files.addFolder(std::wstring(kLogFolder) + L"\\Dustrel-01012020-1.log");
    fakes.files.addFile(std::wstring(kLogFolder) + L"\\Dustrel-03012020-1.log");
    fakes.files.lock(std::wstring(kLogFolder) + L"\\Dustrel-03012020-1.log");
    const std::wstring settingsBefore = storedSetting(L"Settings", L"RunAtSysTray");

    choose(2);

    Names kept = others;
    kept.push_back(L"Dustrel-01012020-1.log");  // a folder
    kept.push_back(L"Dustrel-03012020-1.log");  // held open
    EXPECT_EQ(remaining(), kept);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(storedSetting(L"Settings", L"RunAtSysTray"), settingsBefore);
}

TEST_F(LogFolderTest, PurgesNothingWithoutAFolder) {
    choose(0);
    fakes.files.addFile(kLogFolder, "not a folder");
    choose(1);
    EXPECT_EQ(fakes.files.contents(kLogFolder), "not a folder");
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(LogFolderTest, OpensTheLogFolderOrSaysWhyThereIsNone) {
    settingsUi().cmdLogFiles.click();
    fakes.files.addFile(kLogFolder, "not a folder");
    settingsUi().cmdLogFiles.click();

    ASSERT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(host.messageBoxes[0].text,
              L"Dustrel has not been used on your computer\rOr, The folder 'Log Files' has been "
              L"removed from your computer\r\rThe folder 'Log Files' will be created only when "
              L"you have removed junk files from your computer.");
    EXPECT_EQ(host.messageBoxes[0].caption, L"Dustrel");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_TRUE(fakes.shell.opened().empty());

    ASSERT_TRUE(platform::ok(fakes.files.remove(kLogFolder)));
    fakes.files.addFolder(kLogFolder);
    settingsUi().cmdLogFiles.click();
    EXPECT_EQ(fakes.shell.opened(), Names{kLogFolder});
    EXPECT_EQ(host.messageBoxes.size(), 2u);
}

}  // namespace
}  // namespace dustrel::testing
