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
using Ticks = std::vector<std::pair<std::wstring, bool>>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";
constexpr const wchar_t* kStop = L"Dustrel.exe Cannot Be Removed";
constexpr ui::MessageBoxStyle kStopStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop};

// The log as the fake locale writes it at the fake clock's time.
constexpr const char* kLogHead =
    "\xEF\xBB\xBF"
    "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";

constexpr const wchar_t* kElsewhere = L"C:\\Elsewhere";

// Names a hostile disk holds: twins by letter case, trailing dots and blanks, devices' names,
// names the Win32 functions refuse beside names they would match as wildcards.
const std::vector<std::wstring> kFolderNames{
    L"Temp", L"temp", L"dot", L"dot.", L"dot ", L"con", std::wstring(236, L'L')};
const std::vector<std::wstring> kFileNames{L"a.tmp",     L"A.tmp",    L"x.tmp",      L"x.tmp.",
                                           L"con.tmp",   L"nul.log",  L"aux .bak",   L"what?.tmp",
                                           L"whatX.tmp", L"st*r.tmp", L"stoner.tmp", L"e.tmp "};

bool usableName(const std::wstring& name) {
    return name.find_first_of(L"<>:\"/|?*") == std::wstring::npos;
}

std::map<std::wstring, std::string> snapshot(FakeFileSystem& files) {
    std::map<std::wstring, std::string> all;
    for (const std::wstring& path : files.allFiles()) {
        all[path] = *files.contents(path);
    }
    return all;
}

// The row paths whose files (known by their bytes) are no longer anywhere, in row order.
Rows removedRows(FakeFileSystem& files, const std::vector<std::wstring>& ticked,
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
        const auto below = [&random](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        const auto pick = [&below](const std::vector<std::wstring>& from) {
            return from[below(from.size())];
        };

        TestHost host;
        FakePlatform fakes;
        auto& files = fakes.files;
        files.addFile(kOwnExecutable, "MZ");
        for (const wchar_t* name : {L"a.tmp", L"x.tmp", L"con.tmp"}) {
            files.addFile(std::wstring(kElsewhere) + L"\\" + name, "elsewhere");
        }

        // Two levels of folders; in a case-sensitive one both twins of a name may live. Each
        // file holds bytes of its own, by which it is known wherever it goes.
        Rows folders{L"C:\\Data"};
        files.addFolder(folders[0]);
        for (int i = 0; i < 4; ++i) {
            const std::wstring parent = pick(folders);
            if (chance(0.5)) {
                files.makeCaseSensitive(parent);
            }
            const std::wstring folder = parent + L"\\" + pick(kFolderNames);
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
        Ticks rows;  // as a scan would list them
        for (const std::wstring& path : files.allFiles()) {
            if (path.starts_with(kElsewhere)) {
                continue;
            }
            rows.emplace_back(path, chance(0.6));
            if (chance(0.15)) {
                rows.emplace_back(path, chance(0.5));
            }
        }
        std::shuffle(rows.begin(), rows.end(), random);

        // What changed after the scan.
        std::set<std::wstring> locked;
        for (const auto& [path, ticked] : rows) {
            if (chance(0.08) && files.exists(path)) {
                files.lock(path);
                locked.insert(path);
            } else if (chance(0.05)) {
                (void)files.remove(path);  // gone before the delete
            }
        }
        const auto before = snapshot(files);

        // The ticked files, each once, in row order, as Delete takes them.
        Rows ticked;
        Rows tickedRows;
        bool ownExecutableTicked = false;
        for (const auto& [path, tick] : rows) {
            if (tick) {
                tickedRows.push_back(path);
            }
            ownExecutableTicked |= tick && path == kOwnExecutable;
            if (tick && path != kOwnExecutable &&
                std::find(ticked.begin(), ticked.end(), path) == ticked.end()) {
                ticked.push_back(path);
            }
        }

        // Swaps, each at a random step; the paths they touch may go or stay.
        std::set<std::wstring> swapped;
        const auto swap = [&](const std::wstring& at) {
            std::wstring target = at;
            const int kind = int(below(3));
            if (kind == 2) {
                target = target.substr(0, target.rfind(L'\\'));
                if (target == folders[0] || target.size() <= 3) {
                    return;
                }
            }
            if (!files.exists(target) || files.isDirectory(target) != (kind == 2)) {
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
                files.addLink(target, kind == 1 ? kElsewhere + std::wstring(L"\\a.tmp")
                                                : std::wstring(kElsewhere));
            }
        };
        if (!ticked.empty() && chance(0.2)) {
            swap(pick(ticked));  // before Delete
        }
        std::map<std::size_t, bool> swapAt;  // deletion step, and whether at the handled file
        for (int i = 0; i < 2 && !ticked.empty(); ++i) {
            swapAt[below(2 * ticked.size())] = chance(0.6);
        }
        std::size_t step = 0;
        std::string logged = "Files Deleted are:\r\n\r\n";
        const std::wstring logPath = std::wstring(kLogFolder) + L"\\Dustrel-06152024-1200.log";
        files.duringDeletion = [&](const std::wstring& path, bool opened) {
            if (!opened) {
                // Every file gone so far is logged, and nothing else.
                std::string lines = "Files Deleted are:\r\n\r\n";
                for (const std::wstring& gone : removedRows(files, ticked, before)) {
                    lines += std::string(gone.begin(), gone.end()) + "\r\n";
                }
                EXPECT_TRUE(files.contents(logPath).value_or(lines).ends_with(lines));
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
        auto after = snapshot(files);
        std::erase_if(after, [](const auto& file) { return file.first.starts_with(kLogFolder); });
        std::set<std::string> afterBytes;
        for (const auto& [path, bytes] : after) {
            afterBytes.insert(bytes);
        }
        std::set<std::string> expectedBytes;
        for (const auto& [path, bytes] : before) {
            if (std::find(deleted.begin(), deleted.end(), path) == deleted.end()) {
                expectedBytes.insert(bytes);
            }
        }
        for (const std::string& bytes : afterBytes) {
            if (bytes.starts_with("precious")) {
                expectedBytes.insert(bytes);
            }
        }
        EXPECT_EQ(afterBytes, expectedBytes);
        EXPECT_TRUE(fakes.shell.deleteCalls().empty());

        // Each ticked file that nothing touched goes, unless held open or named as the system
        // refuses; a name matched in another case is not the ticked file.
        std::set<std::wstring> folded;
        for (const auto& [path, bytes] : before) {
            folded.insert(platform::upperCase(path));
        }
        std::size_t alreadyGone = 0;
        for (const std::wstring& path : ticked) {
            const bool usable = usableName(path.substr(path.rfind(L'\\') + 1));
            const bool wentNow = std::count(deleted.begin(), deleted.end(), path) != 0;
            if (swapped.count(path) != 0) {
                continue;
            }
            if (before.count(path) == 0) {
                alreadyGone += usable && folded.count(platform::upperCase(path)) == 0;
            } else {
                EXPECT_EQ(wentNow, usable && locked.count(path) == 0)
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
        EXPECT_EQ(summary.ownExecutableTicked, ownExecutableTicked);
        for (const std::wstring& path : deleted) {
            logged += std::string(path.begin(), path.end()) + "\r\n";
        }
        EXPECT_EQ(files.contents(logPath).value_or("").ends_with(logged), !deleted.empty());
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

    EXPECT_TRUE(fakes.shell.deleteCalls().empty());
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
// page changes after the last one; Delete pressed again meanwhile does nothing. A folder now
// standing where a ticked file was keeps its row and its contents; a copy renamed to another
// extension is known by the file it runs from too.
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
    EXPECT_EQ(host.messageTexts(), (Rows{L"Please Select At Least One File To Delete",
                                         L"2 Files Could Not Be Deleted", kStop}));
    EXPECT_TRUE(onDeletedPage());
    EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
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

    Rows handed;
    for (const auto& call : fakes.shell.deleteCalls()) {
        EXPECT_TRUE(call.toRecycleBin);
        handed.insert(handed.end(), call.paths.begin(), call.paths.end());
    }
    // One call each, for the files that could be opened just before; only a and b could go.
    EXPECT_EQ(fakes.shell.deleteCalls().size(), 3u);
    EXPECT_EQ(handed, (Rows{L"C:\\kept.tmp", L"C:\\a.tmp", L"C:\\b.tmp"}));
    EXPECT_EQ(rows(),
              (Rows{L"C:\\unticked.tmp", L"C:\\held.tmp", L"C:\\kept.tmp", L"C:\\dot.\\x.tmp"}));
    EXPECT_TRUE(rowTexts(c().lstFilesDelete).empty());
    EXPECT_FALSE(fakes.files.exists(kLogFolder));
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(form.isPageShown(c().Frame3));
}

}  // namespace
}  // namespace dustrel::testing
