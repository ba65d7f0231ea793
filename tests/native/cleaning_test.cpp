// What the random trees of cleaning_property_test.cpp leave out: the log's head and name, a
// log folder in the way, a renamed copy of the program, the order of messages and page, files
// whose place became a folder, and the Recycle Bin.

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "clean/deletion_log.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";
constexpr const wchar_t* kStop = L"Dustrel.exe Cannot Be Removed";
constexpr ui::MessageBoxStyle kStopStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop};

// The log as the fake locale writes it at the fake clock's time.
constexpr const char* kLogHead =
    "\xEF\xBB\xBF"
    "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";

// The results page after a scan, with rows the test lists itself.
class CleaningTest : public AppTest {
protected:
    void SetUp() override {
        start();
        fakes.files.addFile(kOwnExecutable, "MZ");
        form.showPage(c().Frame3);
        c().cmdDelete.setEnabled(true);  // as the end of the scan leaves it
    }
    app::FrmMainControls& c() { return form.ui(); }

    // Adds a ticked row for each path, making the file unless it is there.
    void listTicked(std::initializer_list<const wchar_t*> paths) {
        for (const wchar_t* path : paths) {
            if (!fakes.files.exists(path)) {
                fakes.files.addFile(path, "data");
            }
            c().ListFiles.setChecked(c().ListFiles.addRow(path), true);
        }
    }
    Rows rows() { return rowTexts(c().ListFiles); }
    // By default the log of the fake clock's time.
    std::optional<std::string> log(const std::wstring& name = L"Dustrel-06152024-1200.log") {
        return fakes.files.contents(std::wstring(kLogFolder) + L"\\" + name);
    }
    bool onDeletedPage() { return form.isPageShown(c().Frame1); }
};

TEST_F(CleaningTest, LogsInUtf8UnderAHeadOfDateAndTimeAndAddsToALogOfTheSameName) {
    listTicked({L"C:\\Temp\\a.tmp", L"C:\\\u65e5\u672c\\\u03a9\U0001F600.tmp"});
    c().ListFiles.addRow(L"C:\\unticked.tmp");

    c().cmdDelete.click();

    ASSERT_EQ(fakes.shell.deleteCalls().size(), 1u);
    EXPECT_FALSE(fakes.shell.deleteCalls()[0].toRecycleBin);
    EXPECT_EQ(
        log(),
        std::string(kLogHead) +
            "C:\\Temp\\a.tmp\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xCE\xA9\xF0\x9F\x98\x80.tmp\r\n");
    EXPECT_TRUE(onDeletedPage());
    // Delete stays as the scan left it; only Back takes it away.
    EXPECT_TRUE(c().cmdDelete.enabled());

    // 1:23:45 and 12:03:45 both give the digits 12345.
    fakes.clock.current = {2024, 6, 15, 1, 23, 45};
    listTicked({L"C:\\b.tmp"});
    c().cmdDelete.click();
    fakes.clock.current = {2024, 6, 15, 12, 3, 45};
    listTicked({L"C:\\c.tmp"});
    c().cmdDelete.click();
    EXPECT_EQ(log(L"Dustrel-06152024-12345.log"),
              "\xEF\xBB\xBF"
              "Dustrel\r\n15/06/2024\r\n01:23:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\b.tmp\r\n"
              "Dustrel\r\n15/06/2024\r\n12:03:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\c.tmp\r\n");
    EXPECT_EQ(clean::logFileName({2026, 1, 31, 0, 0, 0}), L"Dustrel-01312026-000.log");
}

TEST_F(CleaningTest, NeverWritesOverAFileNamedLikeTheLogFolder) {
    fakes.files.addFile(kLogFolder, "the user's");
    listTicked({L"C:\\b.tmp"});
    c().cmdDelete.click();
    EXPECT_EQ(fakes.files.contents(kLogFolder), "the user's");
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(rowTexts(c().lstFilesDelete), Rows{L"C:\\b.tmp"});
}

// Nothing ticked only asks for a tick. Otherwise the log is written before any message, and the
// page changes after the last one. A folder now standing where a ticked file was keeps its row
// and its contents; a copy renamed to another extension is known by the file it runs from too.
TEST_F(CleaningTest, LogsFirstThenTellsWhatStayedThenShowsThePage) {
    host.onMessageBox = [this](const MessageBoxCall& box) {
        EXPECT_EQ(log(), host.messageBoxes.size() == 1
                             ? std::nullopt
                             : std::optional(std::string(kLogHead) + "C:\\a.tmp\r\n"));
        EXPECT_FALSE(onDeletedPage());
        EXPECT_EQ(box.caption, L"Dustrel");
        EXPECT_EQ(box.style, kStopStyle);
    };
    c().ListFiles.addRow(L"C:\\unticked.tmp");
    c().cmdDelete.click();
    EXPECT_TRUE(form.isPageShown(c().Frame3));

    fakes.system.executable = L"C:\\Program Files\\Dustrel\\Cleaner.bin";
    listTicked({L"C:\\a.tmp", L"C:\\held.tmp", L"C:\\now a folder.tmp",
                L"C:\\Program Files\\Dustrel\\Cleaner.bin",
                L"C:\\Program Files\\Dustrel\\cleaner.EXE"});
    fakes.files.lock(L"C:\\held.tmp");
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\now a folder.tmp")));
    fakes.files.addFile(L"C:\\now a folder.tmp\\precious.doc");

    c().cmdDelete.click();

    EXPECT_TRUE(fakes.files.exists(L"C:\\now a folder.tmp\\precious.doc"));
    EXPECT_EQ(rows(), (Rows{L"C:\\unticked.tmp", L"C:\\held.tmp", L"C:\\now a folder.tmp",
                            L"C:\\Program Files\\Dustrel\\Cleaner.bin",
                            L"C:\\Program Files\\Dustrel\\cleaner.EXE"}));
    EXPECT_EQ(host.messageTexts(), (Rows{L"Please Select At Least One File To Delete",
                                         L"2 Files Could Not Be Deleted", kStop}));
    EXPECT_TRUE(onDeletedPage());
}

// Each ticked file goes to the Recycle Bin in a call of its own; a row leaves only when its file
// has gone, and nothing is logged.
TEST_F(CleaningTest, RecycleMovesEachFileInItsOwnCallAndDropsOnlyRowsOfGoneFiles) {
    c().cmdRecycle.click();  // hidden and disabled: a click does nothing
    form.cmdRecycle_Click();
    EXPECT_TRUE(fakes.shell.deleteCalls().empty());

    c().ListFiles.addRow(L"C:\\unticked.tmp");
    listTicked({L"C:\\gone.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\a.tmp", L"C:\\b.tmp",
                L"C:\\dot.\\x.tmp"});
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\gone.tmp")));
    fakes.files.lock(L"C:\\held.tmp");
    fakes.shell.leaveInPlace(L"C:\\kept.tmp");

    form.cmdRecycle_Click();

    EXPECT_EQ(fakes.shell.recycled(), (Rows{L"C:\\a.tmp", L"C:\\b.tmp"}));
    for (const auto& call : fakes.shell.deleteCalls()) {
        EXPECT_EQ(call.paths.size(), 1u);
        EXPECT_TRUE(call.toRecycleBin);
    }
    EXPECT_EQ(rows(),
              (Rows{L"C:\\unticked.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\dot.\\x.tmp"}));
    EXPECT_TRUE(rowTexts(c().lstFilesDelete).empty());
    EXPECT_FALSE(fakes.files.exists(kLogFolder));
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(form.isPageShown(c().Frame3));
}

}  // namespace
}  // namespace dustrel::testing
