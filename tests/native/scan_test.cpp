#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "native/app_fixture.h"
#include "platform/path_text.h"
#include "scan/junk_categories.h"
#include "scan/listing_ahead.h"
#include "scan/name_pattern.h"
#include "scan/search_folder.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;

// Every match of `pattern` under `folder` (ending in "\"), a folder's files before its
// subfolders'; `listed` counts the folders read.
void referenceWalk(FakeFileSystem& files, const std::wstring& folder, const std::wstring& pattern,
                   Rows& found, int& listed) {
    std::vector<platform::FolderEntry> entries;
    if (files.listFolder(folder, entries) != platform::Status::Ok) {
        return;
    }
    ++listed;
    for (const auto& entry : entries) {
        if (!entry.directory && folder.size() + entry.name.size() <= scan::kMaxPathLength &&
            scan::NamePattern(pattern).matches(entry.name)) {
            found.push_back(folder + entry.name);
        }
    }
    for (const auto& entry : entries) {
        const std::wstring sub = folder + entry.name + L"\\",
                           upper = platform::upperCase(entry.name);
        const bool bin = upper == L"RECYCLED" || upper == L"RECYCLER" || upper == L"$RECYCLE.BIN";
        if (entry.directory && !entry.link && sub.size() + 1 <= scan::kMaxPathLength &&
            !(folder.size() == 3 && bin)) {
            referenceWalk(files, sub, pattern, found, listed);
        }
    }
}

// What a scan reported, with the ticks it is given and a stop the test may ask for at the n-th
// folder (counted from 1).
struct Recorder final : scan::ScanProgress {
    scan::ScanRequest ticks;
    scan::ScanSession session;
    std::vector<std::pair<scan::Finding, std::wstring>> found;  // with their labels
    int searches = 0, folders = 0, stops = 0, stopAtFolder = 0;
    std::optional<scan::ScanEnd> end;

    scan::ScanRequest searchStarted() override { return ++searches, ticks; }
    void searchDone() override {}
    void folderReached(const std::wstring&) override {
        session.ScanStopped |= ++folders == stopAtFolder;
    }
    void fileFound(scan::Finding finding, const std::wstring& label) override {
        EXPECT_FALSE(session.ScanStopped);
        found.emplace_back(std::move(finding), label);
    }
    void driveDone() override {}
    void scanStopped() override { ++stops; }
    void scanEnded(scan::ScanEnd how) override {
        EXPECT_FALSE(end.has_value());
        end = how;
    }
};

// Random trees on two drives with links, unreadable folders, the Recycle Bin folders of every
// Windows (in any letter case) under the root and deeper, names 8.3 forms would match, and paths
// around the longest a row may have; random ticks of drives, built-in categories and custom items.
// In walk order the findings are the matches of one walk per drive and pattern in the order of
// the lists, each with its size and last write from the listing, and each folder is listed once
// per drive for the built-in categories and once for the custom items. A stop at any folder ends
// the scan at the next match with the findings so far.
TEST(ScanPropertyTest, FindingsAreThoseOfOneWalkPerPatternInListOrder) {
    const Rows folderNames{L"Temp",     L"Sub",          L"RECYCLED",     L"Recycled",
                           L"RECYCLER", L"$Recycle.Bin", L"$RECYCLE.BIN", L"old.bak"};
    const Rows fileNames{L"a.tmp",   L"B.TMP", L"thumbs.db",  L"x.log",        L"setuplog.txt",
                         L"c.bak",   L"d.old", L"e.gid",      L"mscreate.dir", L"h.tmpl",
                         L"i.older", L"f.arc", L"g.DOC",      L"notes.txt",    L"log.txt.bak",
                         L"k._tmp",  L"l.dmp", L"modemst.txt"};
    for (unsigned seed = 1; seed <= 100; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
        const auto pick = [&random](const Rows& from) { return from[random() % from.size()]; };
        FakeFileSystem files;
        Rows folders{L"C:", L"D:"};
        for (int i = 0; i < 6; ++i) {
            const std::wstring folder = pick(folders) + L"\\" + pick(folderNames);
            if (!files.exists(folder) && chance(0.1)) {
                files.addLink(folder);  // entered by no walk
            } else if (!files.exists(folder)) {
                files.addFolder(folder);
                folders.push_back(folder);
            }
        }
        // A folder whose rows straddle the length limit.
        const std::wstring deep =
            L"C:\\" + std::wstring(scan::kMaxPathLength - 16 + random() % 10, L'd');
        files.addFolder(deep + L"\\s");
        folders.push_back(deep);
        for (const std::wstring& folder : folders) {
            for (const std::wstring& name : fileNames) {
                const std::wstring padded =
                    std::wstring(folder == deep ? random() % 6 : 0, L'p') + name;
                if (chance(0.2)) {  // each file holds as many bytes as its name has letters
                    files.addFile(folder + L"\\" + padded, std::string(padded.size(), 'x'));
                }
            }
            if (chance(0.05)) {
                files.failListing(folder);
            }
        }

        Recorder scan;
        for (const wchar_t* root : {L"C:\\", L"D:"}) {
            if (chance(0.7)) {
                scan.ticks.roots.push_back(root);
            }
        }
        const std::size_t rows = chance(0.2) ? 6 : 8;
        for (std::size_t row = 0; row < rows; ++row) {
            scan.ticks.rows.push_back({row < 6 ? L"" : Rows{L"Archives", L"Documents"}[row - 6],
                                       row == 0 || chance(0.4)});
        }
        scan.ticks.customExtensions = {L"arc", L"doc"};

        Rows expected, expectedLabels;
        int listed = 0;
        for (const auto& [first, end] : {std::pair<std::size_t, std::size_t>{0, 6}, {6, rows}}) {
            for (const std::wstring& root : scan.ticks.roots) {
                int walked = 0;  // one walk for all the patterns
                for (std::size_t row = first; row < end; ++row) {
                    const auto& category = scan::kJunkCategories[std::min<std::size_t>(row, 5)];
                    const Rows patterns =
                        row < 6 ? Rows(category.patterns.begin(), category.patterns.end())
                                : Rows{L"*." + scan.ticks.customExtensions[row - 6]};
                    for (std::size_t p = 0; p < patterns.size() && scan.ticks.rows[row].checked;
                         ++p) {
                        walked = 0;
                        referenceWalk(files, root.size() == 2 ? root + L"\\" : root, patterns[p],
                                      expected, walked);
                        expectedLabels.resize(expected.size(), row >= 6
                                                                   ? scan.ticks.rows[row].text
                                                                   : std::wstring(category.name));
                    }
                }
                listed += walked;
            }
        }

        scan::Scan(files, scan.session, scan).run();

        auto sorted = scan.found;
        std::ranges::stable_sort(
            sorted, [](const auto& a, const auto& b) { return a.first.before(b.first); });
        Rows paths, labels;
        for (const auto& [finding, label] : sorted) {
            paths.push_back(finding.path);
            labels.push_back(label);
            EXPECT_EQ(finding.size, finding.path.size() - finding.path.rfind(L'\\') - 1);
            EXPECT_NE(finding.lastWrite, 0u);
        }
        EXPECT_EQ(paths, expected);
        EXPECT_EQ(labels, expectedLabels);
        EXPECT_EQ(scan.folders, listed);
        EXPECT_EQ(scan.searches, rows > 6 ? 2 : 1);
        EXPECT_EQ(scan.end, scan::ScanEnd::Finished);
        EXPECT_EQ(scan.stops, 0);

        // The same scan stopped at a random folder: what was found before the stop, in the
        // order it was reported.
        Recorder stopped;
        stopped.ticks = scan.ticks;
        stopped.stopAtFolder = 1 + int(random() % (scan.folders + 1));
        scan::Scan(files, stopped.session, stopped).run();
        ASSERT_LE(stopped.found.size(), scan.found.size());
        for (std::size_t i = 0; i < stopped.found.size(); ++i) {
            EXPECT_EQ(stopped.found[i].first.path, scan.found[i].first.path);
        }
        const bool stopSeen = stopped.stopAtFolder <= scan.folders;
        EXPECT_EQ(stopped.end, stopSeen ? scan::ScanEnd::Stopped : scan::ScanEnd::Finished);
        EXPECT_LE(stopped.stops, 1);
    }
}

// The results page through the whole window: its rows, bar, labels, buttons and messages.
class ScanTest : public AppTest {
protected:
    enum : std::size_t { kTemporary = 0, kFirstCustom = 6 };
    app::FrmMainControls& c() { return form.ui(); }

    // Ticks the drive rows (C: first) and category rows given, then runs Next.
    void scan(std::initializer_list<std::size_t> drives,
              std::initializer_list<std::size_t> categories) {
        for (const std::size_t row : drives) {
            c().ListDrive.setChecked(row, true);
        }
        for (const std::size_t row : categories) {
            c().lstOptions.setChecked(row, true);
        }
        act([this] { form.cmdNext1_Click(); });
    }
    Rows rows() { return rowTexts(c().ListFiles); }

    // Runs `action` at the n-th folder listed from now (counted from 1), before its matches.
    void atFolder(int n, std::function<void()> action) {
        host.doEventsCount = 0;
        host.onDoEvents = [this, n, action] {
            if (host.doEventsCount == n) {
                action();
            }
        };
    }
    void addFiles(std::initializer_list<const wchar_t*> paths) {
        for (const wchar_t* path : paths) {
            fakes.files.addFile(path);
        }
    }
    // The results page as a stop leaves it: the rows so far and a way on, nothing running.
    void expectStopped(std::size_t rowCount) {
        EXPECT_EQ(rows().size(), rowCount);
        EXPECT_FALSE(c().PBar.visible() || c().cmdStopScan.enabled() || c().picMessage.visible());
        EXPECT_EQ(c().lblExt.caption() + c().lblPath.caption(), L"");
        EXPECT_TRUE(c().cmdDelete.enabled() && c().cmdBack.enabled());
        EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
        EXPECT_TRUE(host.messageBoxes.empty());
    }
};

// The queue is looked at between folders, but no more often than every 10 ms: quick folders
// share one look, and a slow one is followed by a look of its own. A folder's subfolders have no
// 16-bit limit.
TEST_F(ScanTest, ServicesTheWindowAtMostEveryTenMillisecondsAndWalksEverySubfolder) {
    for (int i = 0; i < 33000; ++i) {
        fakes.files.addFolder(L"C:\\Many\\" + std::to_wstring(i));
    }
    addFiles({L"C:\\Many\\32999\\last.tmp", L"C:\\Later\\after.tmp"});
    start();
    fakes.clock.tickPerLook = 3;
    scan({0}, {kTemporary});
    EXPECT_EQ(rows(), (Rows{L"C:\\Many\\32999\\last.tmp", L"C:\\Later\\after.tmp"}));
    // 33003 folders listed 3 ms apart: the first, then every 4th.
    EXPECT_EQ(host.doEventsCount, 8251);
}

// While it runs the bar moves one step per row, starting again with a larger range when full,
// and the labels name the last row's category and folder. Hidden, the bar is back to 1 to 100,
// also from a range below it.
TEST_F(ScanTest, BarAndLabelsFollowTheRowsDuringTheWalk) {
    storeScrambled(L"CustomExt", L"Ext", L"Archives?arc#");
    for (int i = 0; i < 99; ++i) {
        fakes.files.addFile(L"C:\\A\\" + std::to_wstring(i) + L".tmp");
    }
    addFiles({L"C:\\B\\last.tmp", L"C:\\B\\Sub\\b.arc", L"C:\\C\\z.txt"});
    start();
    auto& bar = c().PBar;
    ASSERT_TRUE(bar.setMin(-5) && bar.setMax(0));
    app::hideProgressBar(bar);
    EXPECT_EQ(bar.min() * 1000 + bar.max(), 1100);
    struct Seen {
        double min, max, value;
        std::wstring ext, path;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    host.onDoEvents = [this, &seen, &bar] {
        EXPECT_TRUE(bar.visible() && bar.enabled() && c().cmdStopScan.enabled());
        EXPECT_FALSE(c().cmdBack.enabled());
        EXPECT_EQ(form.mousePointer(), ui::MousePointer::Hourglass);
        seen.push_back(
            {bar.min(), bar.max(), bar.value(), c().lblExt.caption(), c().lblPath.caption()});
    };

    scan({0}, {kTemporary, kFirstCustom});

    ASSERT_EQ(seen.size(), 10u);  // C:\, A, B, B\Sub, C, twice
    EXPECT_EQ(seen[0], (Seen{1, 100, 1, L"", L""}));
    EXPECT_EQ(seen[2], (Seen{1, 100, 100, L"Temporary Files", L"C:\\A\\"}));  // 99 rows fill it
    EXPECT_EQ(seen[3], (Seen{1, 200, 1, L"Temporary Files", L"C:\\B\\"}));    // the 100th
    EXPECT_EQ(seen[9], (Seen{1, 200, 2, L"Archives", L"C:\\B\\Sub\\"}));
    EXPECT_EQ(bar.max() * 1000 + bar.value(), 102102);
    // The next scan starts from an empty bar and labels again.
    seen.clear();
    act([this] { form.cmdNext1_Click(); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], (Seen{1, 100, 1, L"", L""}));
}

// A list the user sorted stays sorted, rows found after the click included; one not sorted
// ends in walk order, also when rows leave it during a walk.
TEST_F(ScanTest, RowsSettleSortedOrInWalkOrderWhateverHappensDuringTheWalk) {
    storeScrambled(L"CustomExt", L"Ext", L"Archives?arc#Documents?doc#");
    addFiles({L"C:\\a\\x.doc", L"C:\\b\\y.arc", L"C:\\c\\z.doc", L"C:\\t\\1.tmp", L"C:\\b\\2.tmp"});
    start();
    atFolder(3, [this] { c().ListFiles.userColumnClick(0); });  // while C:\b is walked
    scan({0}, {kTemporary, kFirstCustom});
    EXPECT_EQ(rows(), (Rows{L"C:\\b\\2.tmp", L"C:\\b\\y.arc", L"C:\\t\\1.tmp"}));

    c().ListFiles.setSorted(false);
    // While the custom items' walk lists C:\c, the user deletes the first built-in row.
    atFolder(10, [this] {
        c().ListFiles.setChecked(0, true);
        c().cmdDelete.click();
    });
    scan({}, {kFirstCustom + 1});
    EXPECT_EQ(rows(), (Rows{L"C:\\t\\1.tmp", L"C:\\b\\y.arc", L"C:\\a\\x.doc", L"C:\\c\\z.doc"}));
    EXPECT_FALSE(fakes.files.exists(L"C:\\b\\2.tmp"));
}

// Next wants a category; a scan ends with the count, or, stopped, with the rows so far. Stop
// Scan does nothing outside a scan; in one it shows the notice on top for two seconds, and
// the next match, or the next drive after the last, ends the scan.
TEST_F(ScanTest, NextWantsACategoryAndAScanEndsWithTheCountOrAtTheStop) {
    fakes.system.addDrive(L'D');
    addFiles({L"C:\\A\\1.tmp", L"C:\\A\\2.tmp", L"C:\\B\\3.tmp", L"C:\\C\\4.tmp",
              L"C:\\C\\Quiet\\readme.txt", L"D:\\5.tmp"});
    start();
    EXPECT_FALSE(c().cmdStopScan.enabled());
    form.cmdStopScan_Click();  // a press that reached the handler anyway
    c().cmdBack.setEnabled(true);
    scan({0, 1}, {});
    EXPECT_EQ(host.messageBoxes.at(0).text, L"Please Select At Least One File Type");
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_FALSE(c().cmdBack.enabled() || c().picMessage.visible());
    EXPECT_NE(form.frontPage(), &c().Frame3);
    EXPECT_EQ(host.doEventsCount, 0);
    EXPECT_TRUE(fakes.system.sleeps.empty());
    host.messageBoxes.clear();

    // A stop before any match lists nothing; a notice left up goes when a scan starts.
    c().picMessage.setVisible(true);
    atFolder(1, [this] {
        EXPECT_FALSE(c().picMessage.visible());
        c().cmdStopScan.click();
    });
    scan({}, {kTemporary});
    expectStopped(0);

    // The threads listing ahead end before the notice; a drive that cannot tell whether it
    // seeks gets as many as one that does not.
    fakes.system.setSeekPenalty(L'C', std::nullopt);
    bool noticeOnTop = false;
    fakes.system.onSleep = [this, &noticeOnTop](unsigned) {
        noticeOnTop = c().picMessage.visible() &&
                      c().picMessage.zIndex() + 1 == form.children().size() &&
                      context.state.scan.listingAhead->workers() == 0;
    };
    std::vector<ui::MousePointer> pointers;  // at each repaint
    host.onRefresh = [&pointers](ui::Form& window) { pointers.push_back(window.mousePointer()); };
    atFolder(3, [this] {  // C:\, A, then B
        EXPECT_EQ(context.state.scan.listingAhead->workers(),
                  scan::listingWorkers(std::thread::hardware_concurrency(), false));
        c().cmdStopScan.click();
        EXPECT_FALSE(c().cmdStopScan.enabled());  // pressing it again would only wait again
    });
    scan({}, {});
    EXPECT_EQ(fakes.system.sleeps, (std::vector<unsigned>{2000, 2000}));
    EXPECT_TRUE(noticeOnTop);
    EXPECT_EQ(host.doEventsCount, 3);  // nothing after B, and D: is never walked
    // The notice is painted under the hourglass, the stopped page is not.
    EXPECT_EQ(pointers, (std::vector{ui::MousePointer::Hourglass, ui::MousePointer::Default}));
    expectStopped(2);

    atFolder(5, [this] { c().cmdStopScan.click(); });  // C:\C\Quiet holds no match
    scan({}, {});
    expectStopped(4);

    // While the count is shown, Back and Next already start a new scan, from an empty list.
    host.onDoEvents = nullptr;
    host.onMessageBox = [this](const MessageBoxCall&) {
        host.onMessageBox = nullptr;
        c().cmdBack.click();
        c().cmdNext1.setEnabled(true);
        c().cmdNext1.click();
    };
    scan({}, {});
    EXPECT_EQ(host.messageTexts(), Rows(2, L"5 Files Found"));
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(host.messageBoxes.back().style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information}));
    EXPECT_EQ(c().lblExt.caption() + c().lblPath.caption(),
              L"Finish Searching for specified files");
    EXPECT_TRUE(c().cmdBack.enabled() && c().cmdDelete.enabled());
    EXPECT_FALSE(c().cmdStopScan.enabled());
    EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
    EXPECT_EQ(form.frontPage(), &c().Frame3);

    // Check All during a scan ticks only the rows found so far; the rows are put in pattern
    // order afterwards, their ticks with them.
    fakes.files.addFile(L"C:\\A\\late.dmp");
    atFolder(3, [this] { c().cmdCheck.click(); });
    scan({}, {});
    ASSERT_EQ(rows(), (Rows{L"C:\\A\\1.tmp", L"C:\\A\\2.tmp", L"C:\\B\\3.tmp", L"C:\\C\\4.tmp",
                            L"C:\\A\\late.dmp", L"D:\\5.tmp"}));
    EXPECT_EQ(c().ListFiles.checkedCount(), 3u);
    EXPECT_TRUE(c().ListFiles.row(0).checked && c().ListFiles.row(1).checked &&
                c().ListFiles.row(4).checked);
    c().cmdNext1.setEnabled(true);
    c().cmdClear.click();
    EXPECT_EQ(c().ListFiles.checkedCount(), 0u);
    EXPECT_FALSE(c().cmdNext1.enabled());
    EXPECT_EQ(c().lstOptions.checkedCount(), 1u);
}

}  // namespace
}  // namespace dustrel::testing
