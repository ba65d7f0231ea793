// Random trees of hostile names first; then what they leave out: the log's head and name, a
// log folder in the way, a renamed copy of the program, the order of messages and page, files
// whose place became a folder, and the Recycle Bin.

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "clean/deletion_log.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";
constexpr const wchar_t* kLog = L"C:\\Program Files\\Dustrel\\log files\\Dustrel-06152024-1200.log";
constexpr const wchar_t* kElsewhere = L"C:\\Elsewhere";

// The log as the fake locale writes it at the fake clock's time.
constexpr const char* kLogHead =
    "\xEF\xBB\xBF"
    "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";

// Names a hostile disk holds: twins by letter case, trailing dots and blanks, devices' names,
// names the Win32 functions refuse beside names they would match as wildcards.
const Rows kFolderNames{
    L"Temp", L"temp", L"dot", L"dot.", L"dot ", L"con", std::wstring(236, L'L')};
const Rows kFileNames{L"a.tmp",     L"A.tmp",    L"x.tmp",      L"x.tmp.",
                      L"con.tmp",   L"nul.log",  L"aux .bak",   L"what?.tmp",
                      L"whatX.tmp", L"st*r.tmp", L"stoner.tmp", L"e.tmp "};

std::map<std::wstring, std::string> snapshot(FakeFileSystem& files) {
    std::map<std::wstring, std::string> all;
    for (const std::wstring& path : files.allFiles()) {
        all[path] = *files.contents(path);
    }
    return all;
}

// The paths whose files (known by their bytes) are no longer anywhere, in the order given.
Rows removedRows(FakeFileSystem& files, const Rows& ticked,
                 const std::map<std::wstring, std::string>& before) {
    std::set<std::string> present;
    for (const auto& [path, bytes] : snapshot(files)) {
        present.insert(bytes);
    }
    Rows removed;
    for (const std::wstring& path : ticked) {
        if (before.count(path) != 0 && present.count(before.at(path)) == 0) {
            removed.push_back(path);
        }
    }
    return removed;
}

std::string logLines(const Rows& paths) {
    std::string lines = "Files Deleted are:\r\n\r\n";
    for (const std::wstring& path : paths) {
        lines += std::string(path.begin(), path.end()) + "\r\n";
    }
    return lines;
}

// Random trees of such names in folders that are case-sensitive or not, rows of every file
// (some twice), random ticks, files held open or deleted by someone else after the scan, and
// swaps at any step of the Delete (before a file is opened, between opening and deleting it,
// between two files): a file replaced by a folder of documents or by a link, a folder of the path
// replaced by a link to a folder of namesakes. Whatever happens, no file goes that was not at a
// ticked path when Delete was pressed; each ticked file that nothing touched goes; the log holds
// every file gone before the next is touched; and every row, page line, log line and message
// follows from what went.
TEST(CleaningPropertyTest, DeletesExactlyTheTickedFilesItCanReachAndSaysSo) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
        const auto pick = [&random](const Rows& from) { return from[random() % from.size()]; };

        TestHost host;
        FakePlatform fakes;
        auto& files = fakes.files;
        files.addFile(kOwnExecutable, "MZ");
        for (const wchar_t* name : {L"\\a.tmp", L"\\x.tmp", L"\\con.tmp"}) {
            files.addFile(kElsewhere + std::wstring(name), "elsewhere");
        }
        // Two levels of folders; in a case-sensitive one both twins of a name may live. Each
        // file holds bytes of its own, by which it is known wherever it goes.
        Rows folders{L"C:\\Data"};
        files.addFolder(folders[0]);
        for (int i = 0; i < 4; ++i) {
            const std::wstring parent = pick(folders), folder = parent + L"\\" + pick(kFolderNames);
            if (chance(0.5)) {
                files.makeCaseSensitive(parent);
            }
            if (!files.exists(folder)) {
                files.addFolder(folder);
                folders.push_back(folder);
            }
        }
        int made = 0;
        for (const std::wstring& folder : folders) {
            for (const std::wstring& name : kFileNames) {
                if (chance(0.35) && !files.exists(folder + L"\\" + name)) {
                    files.addFile(folder + L"\\" + name, "#" + std::to_string(++made));
                }
            }
        }
        // The ticked rows, a file found by two patterns twice, and the files held open or
        // deleted by someone else since the scan; `ticked` has each once, as Delete takes them.
        Rows tickedRows, ticked;
        std::set<std::wstring> locked;
        for (const std::wstring& path : files.allFiles()) {
            for (int twice = chance(0.15); twice >= 0 && !path.starts_with(kElsewhere); --twice) {
                if (chance(0.6)) {
                    tickedRows.push_back(path);
                }
            }
        }
        std::shuffle(tickedRows.begin(), tickedRows.end(), random);
        for (const std::wstring& path : tickedRows) {
            if (chance(0.08) && files.exists(path)) {
                files.lock(path);
                locked.insert(path);
            } else if (chance(0.05)) {
                (void)files.remove(path);
            }
            if (path != kOwnExecutable && std::ranges::find(ticked, path) == ticked.end()) {
                ticked.push_back(path);
            }
        }
        const auto before = snapshot(files);

        // Swaps, each at a random step; the paths they touch may go or stay.
        std::set<std::wstring> swapped;
        const auto swap = [&](const std::wstring& at) {
            const int kind = int(random() % 3);
            const std::wstring target = kind == 2 ? at.substr(0, at.rfind(L'\\')) : at;
            if ((kind == 2 && target == folders[0]) || !files.exists(target) ||
                files.isDirectory(target) != (kind == 2)) {
                return;
            }
            for (const std::wstring& path : ticked) {
                if (path == target || path.starts_with(target + L"\\")) {
                    swapped.insert(path);
                }
            }
            files.move(target, target + L"~");
            if (kind == 0) {
                files.addFile(target + L"\\precious.doc", "precious " + std::to_string(++made));
            } else {
                files.addLink(target, kElsewhere + std::wstring(kind == 1 ? L"\\a.tmp" : L""));
            }
        };
        if (!ticked.empty() && chance(0.2)) {
            swap(pick(ticked));  // before Delete
        }
        std::map<std::size_t, bool> swapAt;  // deletion step, and whether at the handled file
        for (int i = 0; i < 2 && !ticked.empty(); ++i) {
            swapAt[random() % (2 * ticked.size())] = chance(0.6);
        }
        std::size_t step = 0;
        files.duringDeletion = [&](const std::wstring& path, bool opened) {
            if (!opened) {  // every file gone so far is logged, and nothing else
                const std::string lines = logLines(removedRows(files, ticked, before));
                EXPECT_TRUE(files.contents(kLog).value_or(lines).ends_with(lines));
            }
            if (const auto it = swapAt.find(step++); it != swapAt.end()) {
                swap(it->second ? path : pick(ticked));
            }
        };

        struct Report final : clean::CleaningReport {
            Rows deleted, gone;
            void fileDeleted(const std::wstring& path) override { deleted.push_back(path); }
            void fileGone(const std::wstring& path) override { gone.push_back(path); }
        } report;
        const clean::DeleteSummary summary =
            clean::Cleaner(fakes.platform(), host, report).deleteFiles(tickedRows);

        // Nothing went but files that were at a ticked path; folders and their documents stay.
        const Rows deleted = removedRows(files, ticked, before);
        std::set<std::string> afterBytes, expectedBytes;
        for (const auto& [path, bytes] : snapshot(files)) {
            if (!path.starts_with(kLogFolder)) {
                afterBytes.insert(bytes);
            }
            if (bytes.starts_with("precious")) {
                expectedBytes.insert(bytes);
            }
        }
        for (const auto& [path, bytes] : before) {
            if (std::ranges::find(deleted, path) == deleted.end()) {
                expectedBytes.insert(bytes);
            }
        }
        EXPECT_EQ(afterBytes, expectedBytes);
        EXPECT_TRUE(fakes.shell.deleteCalls().empty());

        // Each ticked file that nothing touched goes, unless held open or named as the system
        // refuses; a name matched in another case is not the ticked file.
        std::size_t alreadyGone = 0;
        for (const std::wstring& path : ticked) {
            const bool usable = path.find_first_of(L"?*", path.rfind(L'\\')) == std::wstring::npos;
            if (swapped.count(path) != 0) {
                continue;
            } else if (before.count(path) == 0) {
                alreadyGone += usable && std::ranges::none_of(before, [&](const auto& file) {
                                   return platform::equalsNoCase(file.first, path);
                               });
            } else {
                EXPECT_EQ(std::ranges::count(deleted, path) != 0, usable && locked.count(path) == 0)
                    << ::testing::PrintToString(path);
            }
        }

        // Files gone before their turn are told apart from those this Delete took, quietly;
        // every other ticked file is counted as kept.
        EXPECT_EQ(report.deleted, deleted);
        for (const std::wstring& path : report.gone) {
            EXPECT_TRUE(before.count(path) == 0 || swapped.count(path) != 0)
                << ::testing::PrintToString(path);
        }
        EXPECT_GE(report.gone.size(), alreadyGone);
        EXPECT_EQ(summary.kept, ticked.size() - deleted.size() - report.gone.size());
        EXPECT_EQ(summary.ownExecutableTicked,
                  std::ranges::find(tickedRows, kOwnExecutable) != tickedRows.end());
        EXPECT_EQ(files.contents(kLog).value_or("").ends_with(logLines(deleted)), !deleted.empty());
        EXPECT_TRUE(host.messageBoxes.empty());
    }
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

    // Adds a row for each path, ticked unless it is "C:\unticked.tmp", making the file unless
    // it is there.
    void list(std::initializer_list<const wchar_t*> paths) {
        for (const wchar_t* path : paths) {
            if (!fakes.files.exists(path)) {
                fakes.files.addFile(path, "data");
            }
            c().ListFiles.setChecked(c().ListFiles.addRow(path),
                                     path != std::wstring(L"C:\\unticked.tmp"));
        }
    }
    Rows rows() { return rowTexts(c().ListFiles); }
};

// The log is UTF-8 under a head of date and time; a log of the same name is added to. A file
// named like the log folder is the user's: no log goes into it, and the files go all the same.
TEST_F(CleaningTest, LogsInUtf8UnderAHeadOfDateAndTimeAndAddsToALogOfTheSameName) {
    list({L"C:\\Temp\\a.tmp", L"C:\\\u65e5\u672c\\\u03a9\U0001F600.tmp", L"C:\\unticked.tmp"});
    c().cmdDelete.click();
    EXPECT_EQ(
        fakes.files.contents(kLog),
        std::string(kLogHead) +
            "C:\\Temp\\a.tmp\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xCE\xA9\xF0\x9F\x98\x80.tmp\r\n");
    EXPECT_TRUE(form.isPageShown(c().Frame1));
    // Delete stays as the scan left it; only Back takes it away.
    EXPECT_TRUE(c().cmdDelete.enabled());

    // 1:23:45 and 12:03:45 both give the digits 12345.
    fakes.clock.current = {2024, 6, 15, 1, 23, 45};
    list({L"C:\\b.tmp"});
    c().cmdDelete.click();
    fakes.clock.current = {2024, 6, 15, 12, 3, 45};
    list({L"C:\\c.tmp"});
    c().cmdDelete.click();
    EXPECT_EQ(fakes.files.contents(std::wstring(kLogFolder) + L"\\Dustrel-06152024-12345.log"),
              "\xEF\xBB\xBF"
              "Dustrel\r\n15/06/2024\r\n01:23:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\b.tmp\r\n"
              "Dustrel\r\n15/06/2024\r\n12:03:45\r\n\r\nFiles Deleted are:\r\n\r\nC:\\c.tmp\r\n");
    EXPECT_EQ(clean::logFileName({2026, 1, 31, 0, 0, 0}), L"Dustrel-01312026-000.log");

    fakes.files.move(kLogFolder, L"C:\\old logs");
    fakes.files.addFile(kLogFolder, "the user's");
    list({L"C:\\d.tmp"});
    c().lstFilesDelete.clear();
    c().cmdDelete.click();
    EXPECT_EQ(fakes.files.contents(kLogFolder), "the user's");
    EXPECT_EQ(rowTexts(c().lstFilesDelete), Rows{L"C:\\d.tmp"});
    EXPECT_TRUE(host.messageBoxes.empty() && fakes.shell.deleteCalls().empty());
}

// Nothing ticked only asks for a tick. Otherwise the log is written before any message, and the
// page changes after the last one; Delete pressed again meanwhile does nothing. A folder now
// standing where a ticked file was keeps its row and its contents; a copy renamed to another
// extension is known by the file it runs from too.
TEST_F(CleaningTest, LogsFirstThenTellsWhatStayedThenShowsThePage) {
    host.onMessageBox = [this](const MessageBoxCall& box) {
        EXPECT_EQ(fakes.files.contents(kLog),
                  host.messageBoxes.size() == 1
                      ? std::nullopt
                      : std::optional(std::string(kLogHead) + "C:\\a.tmp\r\n"));
        EXPECT_FALSE(form.isPageShown(c().Frame1));
        EXPECT_EQ(box.caption, L"Dustrel");
        EXPECT_EQ(box.style,
                  (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    };
    list({L"C:\\unticked.tmp"});
    c().cmdDelete.click();
    EXPECT_TRUE(form.isPageShown(c().Frame3));

    fakes.system.executable = L"C:\\Program Files\\Dustrel\\Cleaner.bin";
    list({L"C:\\a.tmp", L"C:\\held.tmp", L"C:\\now a folder.tmp",
          L"C:\\Program Files\\Dustrel\\Cleaner.bin", L"C:\\Program Files\\Dustrel\\cleaner.EXE"});
    fakes.files.lock(L"C:\\held.tmp");
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\now a folder.tmp")));
    fakes.files.addFile(L"C:\\now a folder.tmp\\precious.doc");
    // Pressed again while the files go, under the hourglass: nothing more happens.
    host.onDoEvents = [this] {
        EXPECT_EQ(form.mousePointer(), ui::MousePointer::Hourglass);
        c().cmdDelete.click();
    };

    c().cmdDelete.click();

    // The window was serviced before each of the three files, the clock being due each time.
    EXPECT_EQ(host.doEventsCount, 3);
    EXPECT_TRUE(fakes.files.exists(L"C:\\now a folder.tmp\\precious.doc"));
    EXPECT_EQ(rows(), (Rows{L"C:\\unticked.tmp", L"C:\\held.tmp", L"C:\\now a folder.tmp",
                            L"C:\\Program Files\\Dustrel\\Cleaner.bin",
                            L"C:\\Program Files\\Dustrel\\cleaner.EXE"}));
    EXPECT_EQ(host.messageTexts(),
              (Rows{L"Please Select At Least One File To Delete", L"2 Files Could Not Be Deleted",
                    L"Dustrel.exe Cannot Be Removed"}));
    EXPECT_TRUE(form.isPageShown(c().Frame1));
    EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
}

// Each ticked file goes to the Recycle Bin in a call of its own; a row leaves only when its file
// has gone, and nothing is logged.
TEST_F(CleaningTest, RecycleMovesEachFileInItsOwnCallAndDropsOnlyRowsOfGoneFiles) {
    c().cmdRecycle.click();  // hidden and disabled: a click does nothing
    form.cmdRecycle_Click();
    EXPECT_TRUE(fakes.shell.deleteCalls().empty());

    list({L"C:\\unticked.tmp", L"C:\\gone.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\a.tmp",
          L"C:\\b.tmp", L"C:\\dot.\\x.tmp"});
    ASSERT_TRUE(platform::ok(fakes.files.remove(L"C:\\gone.tmp")));
    fakes.files.lock(L"C:\\held.tmp");
    fakes.shell.leaveInPlace(L"C:\\kept.tmp");

    form.cmdRecycle_Click();

    // One call each, for the files that could be opened just before; only a and b could go.
    Rows handed;
    for (const auto& call : fakes.shell.deleteCalls()) {
        EXPECT_TRUE(call.toRecycleBin);
        EXPECT_EQ(call.paths.size(), 1u);
        handed.insert(handed.end(), call.paths.begin(), call.paths.end());
    }
    EXPECT_EQ(handed, (Rows{L"C:\\kept.tmp", L"C:\\a.tmp", L"C:\\b.tmp"}));
    EXPECT_EQ(rows(),
              (Rows{L"C:\\unticked.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\dot.\\x.tmp"}));
    EXPECT_TRUE(rowTexts(c().lstFilesDelete).empty());
    EXPECT_FALSE(fakes.files.exists(kLogFolder));
    EXPECT_TRUE(host.messageBoxes.empty() && form.isPageShown(c().Frame3));
}

}  // namespace
}  // namespace dustrel::testing
