#include <gtest/gtest.h>

#include <algorithm>
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

// Only deletion logs go: not other files, a folder or a log held open, nor names that only
// look like a log's (no date, a date that does not exist, another program's prefix).
TEST_F(LogFolderTest, KeepsTheLogsOfTheChosenNumberOfDaysAndEverythingElse) {
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
        L"Dustrel-01012020-1.log",  // a folder
        L"Dustrel-03012020-1.log",  // held open
    };
    const Names logs{
        L"Dustrel-12012026-1030.log",    // 4 days ago
        L"Dustrel-11252026-83015.log",   // 10 days ago
        L"Dustrel-11042026-1.log",       // 31 days ago
        L"Dustrel-12042026-235959.log",  // yesterday
        L"Dustrel-12052026-957.log",     // today
        L"Dustrel-12252026-1200.log",    // 20 days ahead
        L"dustrel-11292026-1.LOG",       // 6 days ago, in another case
        L"Dustrel-02292024-1.log",
        L"Dustrel-01012020.log",  // the shortest name a log may have
        L"Dustrel-01010001-1.log",
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
        addLogs(Names(others.begin(), others.begin() + 10));
        fakes.files.addFolder(std::wstring(kLogFolder) + L"\\" + others[10]);
        addLogs({others[11]});
        fakes.files.lock(std::wstring(kLogFolder) + L"\\" + others[11]);
        addLogs(logs);
        choose(test.entry);
        Names kept = others;
        kept.insert(kept.end(), test.kept.begin(), test.kept.end());
        Names left = remaining();
        std::ranges::sort(left);
        std::ranges::sort(kept);
        EXPECT_EQ(left, kept);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(clean::daysKeptFor(-1), 0);
    EXPECT_EQ(clean::daysKeptFor(3), 0);
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
