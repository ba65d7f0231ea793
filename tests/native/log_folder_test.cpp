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
    std::wstring inFolder(const std::wstring& name) {
        return std::wstring(kLogFolder) + L"\\" + name;
    }
    void choose(int entry) { settingsUi().cboLogFiles.setListIndex(entry); }
};

// Only deletion logs older than the chosen number of days go: not other files, a folder or a log
// held open, nor names that only look like a log's (no date, a date that does not exist, another
// program's prefix). A log's age counts from its name's month-first date to today, either way.
TEST_F(LogFolderTest, KeepsTheLogsOfTheChosenNumberOfDaysAndEverythingElse) {
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
    choose(0);  // with no folder yet
    const int daysKept[] = {1, 5, 15};
    for (const int entry : {0, 1, 2}) {
        SCOPED_TRACE(entry);
        choose(-1);
        (void)fakes.files.remove(kLogFolder);
        Names kept;
        for (const auto& [name, age] : files) {
            fakes.files.addFile(inFolder(name), "log");
            if (age <= daysKept[entry]) {
                kept.push_back(inFolder(name));
            }
        }
        fakes.files.addFolder(inFolder(L"Dustrel-01012020-1.log"));
        fakes.files.lock(inFolder(L"Dustrel-03012020-1.log"));
        choose(entry);
        std::ranges::sort(kept);
        EXPECT_EQ(fakes.files.allFiles(), kept);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(clean::daysKeptFor(-1), 0);
    EXPECT_EQ(clean::daysKeptFor(3), 0);
}

// The arrow keys on the closed list pass over entries on the way to the one wanted: only that
// one purges, once, when the user settles on it, or closes the window. Code's choice is settled.
TEST_F(LogFolderTest, PurgesForTheEntrySettledOnNotThosePassedOver) {
    const Names logs{inFolder(L"Dustrel-11252026-1.log"), inFolder(L"Dustrel-12022026-1.log")};
    // Of the logs 10 and 3 days old, how many are left; then both are there again.
    const auto left = [&](std::size_t count) {
        EXPECT_EQ(fakes.files.allFiles(), Names(logs.end() - count, logs.end()));
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

TEST_F(LogFolderTest, OpensTheLogFolderOrSaysWhyThereIsNone) {
    settingsUi().cmdLogFiles.click();
    fakes.files.addFile(kLogFolder, "not a folder");
    choose(1);  // purges nothing
    settingsUi().cmdLogFiles.click();

    EXPECT_EQ(fakes.files.contents(kLogFolder), "not a folder");
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
