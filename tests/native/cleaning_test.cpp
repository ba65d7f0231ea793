#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "clean/deletion_log.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;
using Ticks = std::vector<bool>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";
// The fake clock's 12:00:00 on 15 June 2024.
constexpr const wchar_t* kLogName = L"Dustrel-06152024-1200.log";
constexpr const wchar_t* kStop = L"Dustrel.exe Cannot Be Removed";

std::string bytesOf(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// The log as the fake locale writes it at the fake clock's time, for ASCII paths.
constexpr const char* kLogHead =
    "\xEF\xBB\xBF"
    "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";
std::string expectedLog(std::initializer_list<const wchar_t*> paths) {
    std::string text = kLogHead;
    for (const wchar_t* path : paths) {
        text += bytesOf(path) + "\r\n";
    }
    return text;
}

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

    // Adds a row for each path, making the file (its content is its path) unless it is there.
    void list(std::initializer_list<const wchar_t*> paths) {
        for (const wchar_t* path : paths) {
            if (std::ranges::count(fakes.files.allFiles(), path) == 0) {
                fakes.files.addFile(path, bytesOf(path));
            }
            c().ListFiles.addRow(path);
        }
    }
    void tick(std::initializer_list<std::size_t> rows) {
        for (const std::size_t row : rows) {
            c().ListFiles.setChecked(row, true);
        }
    }

    Rows rows() { return rowTexts(c().ListFiles); }
    Ticks ticks() {
        Ticks result;
        for (std::size_t i = 0; i < c().ListFiles.rowCount(); ++i) {
            result.push_back(c().ListFiles.row(i).checked);
        }
        return result;
    }
    Rows deletedPage() { return rowTexts(c().lstFilesDelete); }
    std::optional<std::string> log(const std::wstring& name = kLogName) {
        return fakes.files.contents(std::wstring(kLogFolder) + L"\\" + name);
    }
    bool onDeletedPage() { return form.isPageShown(c().Frame1); }
};

TEST_F(CleaningTest, NothingTickedOnlyAsksForATick) {
    list({L"C:\\Temp\\a.tmp"});

    c().cmdDelete.click();

    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, L"Please Select At Least One File To Delete");
    EXPECT_EQ(host.messageBoxes[0].caption, L"Dustrel");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_TRUE(form.isPageShown(c().Frame3));
    EXPECT_EQ(rows(), (Rows{L"C:\\Temp\\a.tmp"}));
    EXPECT_TRUE(fakes.shell.deleteCalls().empty());
    EXPECT_FALSE(fakes.files.exists(kLogFolder));
}

TEST_F(CleaningTest, DeletesTheTickedFilesAndLogsThem) {
    list({L"C:\\Temp\\a.tmp", L"C:\\Temp\\b.tmp", L"C:\\\u65e5\u672c\\\u03a9.tmp",
          L"C:\\Docs\\d.bak", L"C:\\Docs\\e.bak", L"C:\\f.log"});
    tick({0, 2, 4});
    c().ListFiles.setChecked(5, true);
    c().ListFiles.setChecked(5, false);

    c().cmdDelete.click();

    ASSERT_EQ(fakes.shell.deleteCalls().size(), 1u);
    EXPECT_EQ(fakes.shell.deleteCalls()[0].paths,
              (Rows{L"C:\\Temp\\a.tmp", L"C:\\\u65e5\u672c\\\u03a9.tmp", L"C:\\Docs\\e.bak"}));
    EXPECT_FALSE(fakes.shell.deleteCalls()[0].toRecycleBin);
    EXPECT_EQ(rows(), (Rows{L"C:\\Temp\\b.tmp", L"C:\\Docs\\d.bak", L"C:\\f.log"}));
    EXPECT_EQ(ticks(), (Ticks{false, false, false}));
    EXPECT_EQ(deletedPage(),
              (Rows{L"C:\\Temp\\a.tmp", L"C:\\\u65e5\u672c\\\u03a9.tmp", L"C:\\Docs\\e.bak"}));
    EXPECT_EQ(log(), std::string(kLogHead) +
                         "C:\\Temp\\a.tmp\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xCE\xA9.tmp\r\n"
                         "C:\\Docs\\e.bak\r\n");
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(onDeletedPage());
    // Delete stays as the scan left it; only Back takes it away.
    EXPECT_TRUE(c().cmdDelete.enabled());
}

TEST_F(CleaningTest, NamesTheLogAfterTheTimeAndAddsToALogOfTheSameName) {
    list({L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"});
    fakes.clock.current = {2026, 12, 5, 9, 5, 7};
    tick({0});
    c().cmdDelete.click();
    EXPECT_TRUE(log(L"Dustrel-12052026-957.log"));
    EXPECT_EQ(clean::logFileName({2026, 1, 31, 0, 0, 0}), L"Dustrel-01312026-000.log");

    // 1:23:45 and 12:03:45 both give the digits 12345.
    fakes.clock.current = {2024, 6, 15, 1, 23, 45};
    tick({0});
    c().cmdDelete.click();
    fakes.clock.current = {2024, 6, 15, 12, 3, 45};
    tick({0});
    c().cmdDelete.click();
    EXPECT_EQ(log(L"Dustrel-06152024-12345.log"),
              "\xEF\xBB\xBF"
              "Dustrel\r\n15/06/2024\r\n01:23:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\b.tmp\r\n"
              "Dustrel\r\n15/06/2024\r\n12:03:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\c.tmp\r\n");
}

TEST_F(CleaningTest, MakesTheLogFolderButNeverWritesOverAFileOfItsName) {
    list({L"C:\\a.tmp", L"C:\\b.tmp"});
    tick({0});
    c().cmdDelete.click();
    EXPECT_TRUE(fakes.files.isDirectory(kLogFolder));
    EXPECT_EQ(log(), expectedLog({L"C:\\a.tmp"}));

    ASSERT_TRUE(platform::ok(fakes.files.remove(kLogFolder)));
    fakes.files.addFile(kLogFolder, "the user's");
    tick({0});
    c().cmdDelete.click();
    EXPECT_FALSE(fakes.files.exists(L"C:\\b.tmp"));
    EXPECT_EQ(fakes.files.contents(kLogFolder), "the user's");
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(deletedPage(), (Rows{L"C:\\a.tmp", L"C:\\b.tmp"}));
}

TEST_F(CleaningTest, KnowsItsOwnFileAlsoAsARenamedCopy) {
    fakes.system.executable = L"C:\\Tools\\Cleaner.bin";
    list({L"C:\\Tools\\Cleaner.bin", L"C:\\Tools\\cleaner.EXE", kOwnExecutable});
    tick({0, 1, 2});
    c().cmdDelete.click();

    ASSERT_EQ(fakes.shell.deleteCalls().size(), 1u);
    EXPECT_EQ(fakes.shell.deleteCalls()[0].paths, Rows{kOwnExecutable});
    EXPECT_EQ(rows(), (Rows{L"C:\\Tools\\Cleaner.bin", L"C:\\Tools\\cleaner.EXE"}));
    EXPECT_EQ(ticks(), (Ticks{true, true}));
    EXPECT_EQ(host.messageTexts(), (Rows{kStop}));
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
}

// The log is written before any message, and the page changes after the last one.
TEST_F(CleaningTest, LogsFirstThenTellsWhatStayedThenShowsThePage) {
    list({L"C:\\a.tmp", kOwnExecutable, L"C:\\held.tmp", L"C:\\b.tmp"});
    fakes.files.lock(L"C:\\held.tmp");
    tick({0, 1, 2, 3});
    host.onMessageBox = [this](const MessageBoxCall&) {
        EXPECT_EQ(log(), expectedLog({L"C:\\a.tmp", L"C:\\b.tmp"}));
        EXPECT_FALSE(onDeletedPage());
    };

    c().cmdDelete.click();

    EXPECT_EQ(rows(), (Rows{kOwnExecutable, L"C:\\held.tmp"}));
    EXPECT_EQ(ticks(), (Ticks{true, true}));
    EXPECT_EQ(host.messageTexts(), (Rows{L"1 Files Could Not Be Deleted", kStop}));
    EXPECT_EQ(host.messageBoxes[0].caption, L"Dustrel");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_TRUE(onDeletedPage());
}

// The shell stops at the first file it cannot delete; the files after it still go.
TEST_F(CleaningTest, OneFileThatCannotGoHoldsBackNoOther) {
    list({L"C:\\held.tmp", L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"});
    fakes.files.lock(L"C:\\held.tmp");
    tick({0, 1, 2, 3});

    c().cmdDelete.click();

    EXPECT_EQ(fakes.shell.deleteCalls().size(), 1u);
    EXPECT_EQ(rows(), (Rows{L"C:\\held.tmp"}));
    EXPECT_EQ(deletedPage(), (Rows{L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"}));
    EXPECT_EQ(host.messageTexts(), (Rows{L"1 Files Could Not Be Deleted"}));
}

// A path that the plain reading would turn into another file, or into a device, never reaches
// the shell: it goes by its exact name. A name the system refuses is not touched at all, though
// the shell would have taken its "?" for a wildcard.
TEST_F(CleaningTest, HandsTheShellOnlyPathsThatReadAsThemselves) {
    const std::wstring deep = L"C:\\" + std::wstring(240, L'd') + L"\\x.tmp";
    for (const wchar_t* twin : {L"C:\\dot\\x.tmp", L"C:\\dev\\con", L"C:\\whatX.tmp"}) {
        fakes.files.addFile(twin, "unticked");
    }
    list({L"C:\\a.tmp", L"C:\\dot.\\x.tmp", L"C:\\dev\\con.tmp", L"C:\\dev\\nul.log",
          L"C:\\blank \\e.tmp ", L"C:\\what?.tmp"});
    list({deep.c_str()});
    tick({0, 1, 2, 3, 4, 5, 6});

    c().cmdDelete.click();

    ASSERT_EQ(fakes.shell.deleteCalls().size(), 1u);
    EXPECT_EQ(fakes.shell.deleteCalls()[0].paths, Rows{L"C:\\a.tmp"});
    EXPECT_EQ(deletedPage(), (Rows{L"C:\\a.tmp", L"C:\\dot.\\x.tmp", L"C:\\dev\\con.tmp",
                                   L"C:\\dev\\nul.log", L"C:\\blank \\e.tmp ", deep}));
    EXPECT_EQ(rows(), Rows{L"C:\\what?.tmp"});
    EXPECT_EQ(host.messageTexts(), (Rows{L"1 Files Could Not Be Deleted"}));
    for (const wchar_t* twin : {L"C:\\dot\\x.tmp", L"C:\\dev\\con", L"C:\\whatX.tmp"}) {
        EXPECT_EQ(fakes.files.contents(twin), "unticked");
    }
}

// In a case-sensitive folder a.tmp and A.tmp are two files; a tick on one is a tick on one.
TEST_F(CleaningTest, TellsTwinsByLetterCaseApart) {
    fakes.files.makeCaseSensitive(L"C:\\Twins");
    list({L"C:\\Twins\\A.tmp", L"C:\\Twins\\a.tmp"});
    tick({1});

    c().cmdDelete.click();
    EXPECT_EQ(rows(), Rows{L"C:\\Twins\\A.tmp"});
    EXPECT_EQ(deletedPage(), Rows{L"C:\\Twins\\a.tmp"});
    EXPECT_TRUE(host.messageBoxes.empty());

    // Ticked again after it went (its row came back with a new scan): the twin is not it.
    list({L"C:\\Twins\\a.tmp"});
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\Twins\\a.tmp")));
    tick({1});
    c().cmdDelete.click();
    EXPECT_TRUE(fakes.files.exists(L"C:\\Twins\\A.tmp"));
    EXPECT_EQ(fakes.shell.deleteCalls().size(), 1u);
}

// A file gone before Delete leaves the list quietly: this Delete removed nothing of it. A folder
// now standing where a file was, or a folder of the path turned into a link, keeps its rows.
TEST_F(CleaningTest, ListsAndLogsOnlyWhatThisDeleteRemoved) {
    fakes.files.addFile(L"C:\\Elsewhere\\x.tmp", "elsewhere");
    list({L"C:\\gone.tmp", L"C:\\a.tmp", L"C:\\now a folder.tmp", L"C:\\Temp\\x.tmp"});
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\gone.tmp")));
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\now a folder.tmp")));
    fakes.files.addFile(L"C:\\now a folder.tmp\\precious.doc");
    fakes.files.replaceByLink(L"C:\\Temp", L"C:\\Elsewhere");
    tick({0, 1, 2, 3});

    c().cmdDelete.click();

    EXPECT_EQ(fakes.shell.deleteCalls()[0].paths, (Rows{L"C:\\a.tmp"}));
    EXPECT_TRUE(fakes.files.exists(L"C:\\now a folder.tmp\\precious.doc"));
    EXPECT_EQ(fakes.files.contents(L"C:\\Elsewhere\\x.tmp"), "elsewhere");
    EXPECT_EQ(deletedPage(), (Rows{L"C:\\a.tmp"}));
    EXPECT_EQ(log(), expectedLog({L"C:\\a.tmp"}));
    EXPECT_EQ(rows(), (Rows{L"C:\\now a folder.tmp", L"C:\\Temp\\x.tmp"}));
    EXPECT_EQ(host.messageTexts(), (Rows{L"2 Files Could Not Be Deleted"}));
}

using RecycleTest = CleaningTest;

TEST_F(RecycleTest, MovesEachTickedFileInItsOwnCall) {
    list({L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp", L"C:\\d.tmp", L"C:\\e.tmp"});
    c().cmdRecycle.click();  // hidden and disabled: a click does nothing
    form.cmdRecycle_Click();
    EXPECT_TRUE(fakes.shell.deleteCalls().empty());
    EXPECT_TRUE(host.messageBoxes.empty());

    tick({0, 2, 4});
    form.cmdRecycle_Click();

    ASSERT_EQ(fakes.shell.deleteCalls().size(), 3u);
    EXPECT_EQ(fakes.shell.recycled(), (Rows{L"C:\\a.tmp", L"C:\\c.tmp", L"C:\\e.tmp"}));
    for (const auto& call : fakes.shell.deleteCalls()) {
        EXPECT_EQ(call.paths.size(), 1u);
        EXPECT_TRUE(call.toRecycleBin);
    }
    EXPECT_EQ(rows(), (Rows{L"C:\\b.tmp", L"C:\\d.tmp"}));
    EXPECT_TRUE(deletedPage().empty());
    EXPECT_FALSE(fakes.files.exists(kLogFolder));
    EXPECT_TRUE(form.isPageShown(c().Frame3));
}

TEST_F(RecycleTest, RemovesARowOnlyWhenItsFileHasGone) {
    list({L"C:\\gone.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\a.tmp"});
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\gone.tmp")));
    fakes.files.lock(L"C:\\held.tmp");
    fakes.shell.leaveInPlace(L"C:\\kept.tmp");
    tick({0, 1, 2, 3});

    form.cmdRecycle_Click();

    EXPECT_EQ(fakes.shell.recycled(), (Rows{L"C:\\a.tmp"}));
    EXPECT_EQ(rows(), (Rows{L"C:\\held.tmp", L"C:\\kept.tmp"}));
    EXPECT_EQ(ticks(), (Ticks{true, true}));
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace dustrel::testing
