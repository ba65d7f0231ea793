#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;

enum Category : std::size_t {
    kTemporary = 0,
    kImageCaches = 1,
    kHelpCaches = 2,
    kLogs = 3,
    kDiagnostics = 4,
    kBackups = 5,
    kFirstCustom = 6,
};

class ScanTest : public AppTest {
protected:
    app::FrmMainControls& c() { return form.ui(); }

    // Ticks the drive rows ("C:\", ...) and category rows given, then runs Next.
    void scan(std::initializer_list<const wchar_t*> drives,
              std::initializer_list<std::size_t> categories) {
        auto& c = this->c();
        for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
            for (const wchar_t* drive : drives) {
                if (c.ListDrive.row(row).text == drive) {
                    c.ListDrive.setChecked(row, true);
                }
            }
        }
        for (const std::size_t row : categories) {
            c.lstOptions.setChecked(row, true);
        }
        act([this] { form.cmdNext1_Click(); });
    }

    Rows rows() { return rowTexts(c().ListFiles); }

    // Runs `action` at the n-th folder listed (counted from 1), before its matches.
    void atFolder(int n, std::function<void()> action) {
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

    void expectStoppedState() {
        auto& c = this->c();
        EXPECT_FALSE(c.PBar.visible());
        EXPECT_FALSE(c.PBar.enabled());
        EXPECT_EQ(c.PBar.max(), 100);
        EXPECT_EQ(c.lblExt.caption(), L"");
        EXPECT_EQ(c.lblPath.caption(), L"");
        EXPECT_TRUE(c.cmdDelete.enabled());
        EXPECT_TRUE(c.cmdBack.enabled());
        EXPECT_FALSE(c.cmdStopScan.enabled());
        EXPECT_FALSE(c.picMessage.visible());
        EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
        for (const auto& box : host.messageBoxes) {
            EXPECT_EQ(box.text.find(L"Files Found"), std::wstring::npos) << "a stopped scan";
        }
    }
};

// Two drives, two categories, two custom items: rows end by drive, category, pattern, then
// depth first with a folder's own matches before its subfolders', as one walk per pattern
// would list them, yet every folder is listed only once per drive for the built-in
// categories and once for the custom items.
TEST_F(ScanTest, RowsFollowDriveCategoryPatternAndFolderOrder) {
    storeScrambled(L"CustomExt", L"Ext", L"Logs?log#Archives?arc#");
    fakes.system.addDrive(L'D');
    // C:\Windows is listed before C:\a.bak, whose row still comes before C:\Windows's.
    addFiles({L"C:\\Windows\\old.old", L"C:\\Windows\\x.log", L"C:\\Windows\\Sub\\THUMBS.DB",
              L"C:\\Windows\\Sub\\b.bak", L"C:\\a.bak", L"C:\\Thumbs.db", L"C:\\Users\\c.arc",
              L"C:\\Users\\d.BAK", L"C:\\Users\\notes.txt", L"D:\\z.old", L"D:\\Data\\thumbs.db",
              L"D:\\Data\\y.log", L"D:\\Data\\w.arc"});
    start();

    scan({L"C:\\", L"D:\\"}, {kImageCaches, kBackups, kFirstCustom, kFirstCustom + 1});

    EXPECT_EQ(rows(), (Rows{
                          L"C:\\Thumbs.db",  // C:\ thumbs.db
                          L"C:\\Windows\\Sub\\THUMBS.DB",
                          L"C:\\a.bak",  // C:\ *.bak
                          L"C:\\Windows\\Sub\\b.bak",
                          L"C:\\Users\\d.BAK",
                          L"C:\\Windows\\old.old",  // C:\ *.old
                          L"D:\\Data\\thumbs.db",   // D:\ thumbs.db
                          L"D:\\z.old",             // D:\ *.old
                          L"C:\\Windows\\x.log",    // C:\ custom *.log
                          L"C:\\Users\\c.arc",      // C:\ custom *.arc
                          L"D:\\Data\\y.log",       // D:\ custom
                          L"D:\\Data\\w.arc",
                      }));
    // C: holds 4 folders and D: 2; each drive is walked twice (built-in, custom).
    EXPECT_EQ(host.doEventsCount, 2 * (4 + 2));
    EXPECT_EQ(host.messageTexts().back(), L"12 Files Found");
    EXPECT_EQ(host.messageBoxes.back().style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information}));
    EXPECT_EQ(c().lblExt.caption(), L"Finish Searching for specified files");
    EXPECT_EQ(c().lblPath.caption(), L"");
    EXPECT_TRUE(c().cmdBack.enabled());
    EXPECT_TRUE(c().cmdDelete.enabled());
    EXPECT_FALSE(c().cmdStopScan.enabled());
    EXPECT_EQ(c().PBar.value(), c().PBar.max());
    EXPECT_EQ(form.mousePointer(), ui::MousePointer::Default);
    EXPECT_EQ(form.frontPage(), &c().Frame3);
}

TEST_F(ScanTest, NamesMatchByLongNameIgnoringCaseAndFoldersNeverMatch) {
    storeScrambled(L"CustomExt", L"Ext", L"Logs?log#");
    addFiles({
        L"C:\\setuplog.txt",
        L"C:\\log.txt",
        L"C:\\log.txt.bak",
        L"C:\\catalog.txt2",
        L"C:\\A\\thumbs.db",
        L"C:\\B\\THUMBS.DB",
        L"C:\\C\\Thumbs.Db",
        L"C:\\C\\thumbs.db.old",
        L"C:\\x.log",
        // Their 8.3 names (REPORT~1.TMP, A~1.OLD) would match; their long names do not.
        L"C:\\report.tmpl",
        L"C:\\a.older",
        L"C:\\b.baK",
        // A folder named like a match is entered, not listed.
        L"C:\\old.bak\\inner.bak",
        // Names no ANSI code page holds come back as they are.
        L"C:\\\u03a9mega\\\u65e5\u672c.tmp",
    });
    start();

    scan({L"C:\\"}, {kTemporary, kImageCaches, kLogs, kDiagnostics, kBackups, kFirstCustom});

    EXPECT_EQ(rows(), (Rows{
                          L"C:\\\u03a9mega\\\u65e5\u672c.tmp", L"C:\\A\\thumbs.db",
                          L"C:\\B\\THUMBS.DB", L"C:\\C\\Thumbs.Db", L"C:\\x.log",
                          L"C:\\setuplog.txt", L"C:\\log.txt", L"C:\\log.txt.bak", L"C:\\b.baK",
                          L"C:\\old.bak\\inner.bak", L"C:\\C\\thumbs.db.old",
                          L"C:\\x.log",  // again, for the custom item
                      }));
    // The same file in two rows: a tick on one leaves the other.
    c().ListFiles.userToggle(4);
    EXPECT_TRUE(c().ListFiles.row(4).checked);
    EXPECT_FALSE(c().ListFiles.row(11).checked);
}

TEST_F(ScanTest, WalkSkipsRootRecycledLinksUnreadableAndOverlongFolders) {
    const std::wstring deep = L"C:\\" + std::wstring(240, L'd') + L"\\";
    fakes.system.addDrive(L'D');
    addFiles({L"C:\\RECYCLED\\a.tmp", L"D:\\Recycled\\b.tmp", L"C:\\Data\\RECYCLED\\c.tmp",
              L"C:\\Locked\\d.tmp", L"C:\\Open\\e.tmp"});
    fakes.files.addLink(L"C:\\Junction");
    addFiles({L"C:\\Junction\\f.tmp"});
    fakes.files.failListing(L"C:\\Locked");
    // A row of 259 characters fits the shell; one of 260 does not.
    fakes.files.addFile(deep + std::wstring(259 - deep.size() - 4, L'n') + L".tmp");
    fakes.files.addFile(deep + std::wstring(260 - deep.size() - 4, L'l') + L".tmp");
    start();

    scan({L"C:\\", L"D:\\"}, {kTemporary});

    EXPECT_EQ(rows(), (Rows{L"C:\\Data\\RECYCLED\\c.tmp", L"C:\\Open\\e.tmp",
                            deep + std::wstring(259 - deep.size() - 4, L'n') + L".tmp",
                            L"D:\\Recycled\\b.tmp"}));
    EXPECT_EQ(host.messageTexts().back(), L"4 Files Found");
}

// The queue is looked at between folders, but no more often than every 10 ms: quick folders
// share one look, and a slow one is followed by a look of its own.
TEST_F(ScanTest, ServicesTheWindowBetweenFoldersAtMostEveryTenMilliseconds) {
    for (int i = 0; i < 40; ++i) {
        fakes.files.addFolder(L"C:\\F" + std::to_wstring(i));
    }
    start();
    fakes.clock.tickPerLook = 3;
    scan({L"C:\\"}, {kTemporary});
    EXPECT_EQ(host.doEventsCount, 11);  // 41 folders listed 3 ms apart: the first, then every 4th

    host.doEventsCount = 0;
    fakes.clock.tickPerLook = 25;
    scan({L"C:\\"}, {kTemporary});
    EXPECT_EQ(host.doEventsCount, 41);
}

// A folder's subfolders have no 16-bit limit.
TEST_F(ScanTest, AFolderWithMoreThan32767SubfoldersIsWalkedWhole) {
    for (int i = 0; i < 33000; ++i) {
        fakes.files.addFolder(L"C:\\Many\\" + std::to_wstring(i));
    }
    addFiles({L"C:\\Many\\32999\\last.tmp", L"C:\\Later\\after.tmp"});
    start();

    scan({L"C:\\"}, {kTemporary});

    EXPECT_EQ(rows(), (Rows{L"C:\\Many\\32999\\last.tmp", L"C:\\Later\\after.tmp"}));
}

TEST_F(ScanTest, NextWantsACategoryAndCountsWhatItFinds) {
    addFiles({L"C:\\Temp\\one.tmp"});
    start();
    c().cmdBack.setEnabled(true);

    scan({L"C:\\"}, {});
    EXPECT_EQ(host.messageTexts(), Rows{L"Please Select At Least One File Type"});
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_FALSE(c().cmdBack.enabled());
    EXPECT_NE(form.frontPage(), &c().Frame3);
    EXPECT_EQ(host.doEventsCount, 0);

    scan({L"C:\\"}, {kImageCaches});
    EXPECT_EQ(host.messageTexts().back(), L"0 Files Found");
    EXPECT_TRUE(c().cmdDelete.enabled());

    c().lstOptions.setChecked(kTemporary, true);
    scan({L"C:\\"}, {});
    EXPECT_EQ(host.messageTexts().back(), L"1 Files Found");
    EXPECT_EQ(rows(), Rows{L"C:\\Temp\\one.tmp"});

    // A new scan starts from an empty list.
    scan({L"C:\\"}, {});
    EXPECT_EQ(rows(), Rows{L"C:\\Temp\\one.tmp"});
}

TEST_F(ScanTest, TheBarMovesOneStepPerRowAndStartsAgainWithALargerRange) {
    for (int i = 0; i < 99; ++i) {
        fakes.files.addFile(L"C:\\A\\" + std::to_wstring(i) + L".tmp");
    }
    addFiles({L"C:\\B\\last.tmp"});
    fakes.files.addFolder(L"C:\\C");
    start();
    std::vector<std::array<double, 3>> seen;  // min, max, value at folders B and C
    host.onDoEvents = [this, &seen] {
        const auto& bar = c().PBar;
        if (host.doEventsCount == 1) {
            EXPECT_TRUE(bar.visible());
            EXPECT_TRUE(bar.enabled());
            EXPECT_FALSE(c().cmdBack.enabled());
            EXPECT_TRUE(c().cmdStopScan.enabled());
            EXPECT_EQ(form.mousePointer(), ui::MousePointer::Hourglass);
        }
        seen.push_back({bar.min(), bar.max(), bar.value()});
    };

    scan({L"C:\\"}, {kTemporary});

    ASSERT_EQ(seen.size(), 4u);  // C:\, A, B, C
    EXPECT_EQ(seen[0], (std::array<double, 3>{1, 100, 1}));
    EXPECT_EQ(seen[2], (std::array<double, 3>{1, 100, 100}));  // 99 rows fill it
    EXPECT_EQ(seen[3], (std::array<double, 3>{1, 200, 1}));    // the 100th starts again
    EXPECT_EQ(c().lblExt.caption(), L"Finish Searching for specified files");
    EXPECT_EQ(c().PBar.max(), 101);
    EXPECT_EQ(c().PBar.value(), 101);
}

TEST_F(ScanTest, LabelsFollowTheLastRow) {
    storeScrambled(L"CustomExt", L"Ext", L"Archives?arc#");
    addFiles({L"C:\\Temp\\a.tmp", L"C:\\Temp\\Sub\\b.arc", L"C:\\Zed\\empty.txt"});
    start();
    std::vector<Rows> seen;
    host.onDoEvents = [this, &seen] {
        seen.push_back({c().lblExt.caption(), c().lblPath.caption()});
    };

    scan({L"C:\\"}, {kTemporary, kFirstCustom});

    ASSERT_EQ(seen.size(), 8u);  // four folders, twice
    EXPECT_EQ(seen[2], (Rows{L"Temporary Files", L"C:\\Temp\\"}));
    EXPECT_EQ(seen[7], (Rows{L"Archives", L"C:\\Temp\\Sub\\"}));
}

// A list the user sorted stays sorted, rows found after the click included.
TEST_F(ScanTest, RowsEndSortedWhenTheHeaderWasClickedDuringTheWalk) {
    storeScrambled(L"CustomExt", L"Ext", L"Archives?arc#");
    addFiles({L"C:\\a\\1.dmp", L"C:\\b\\2.tmp", L"C:\\b\\3.arc", L"C:\\c\\0.tmp"});
    start();
    atFolder(3, [this] { c().ListFiles.userColumnClick(0); });  // while C:\b is walked
    scan({L"C:\\"}, {kTemporary, kFirstCustom});
    EXPECT_TRUE(c().ListFiles.sorted());
    EXPECT_EQ(rows(), (Rows{L"C:\\a\\1.dmp", L"C:\\b\\2.tmp", L"C:\\b\\3.arc", L"C:\\c\\0.tmp"}));
}

// A list the user did not sort ends in walk order, also when rows leave it during a walk.
TEST_F(ScanTest, RowsKeepWalkOrderWhenOthersLeaveDuringTheWalk) {
    storeScrambled(L"CustomExt", L"Ext", L"Archives?arc#Documents?doc#");
    addFiles({L"C:\\a\\x.doc", L"C:\\b\\y.arc", L"C:\\c\\z.doc", L"C:\\t\\1.tmp"});
    start();
    // While the custom items' walk lists C:\c, the user deletes the one built-in row.
    atFolder(9, [this] {
        c().ListFiles.setChecked(0, true);
        c().cmdDelete.click();
    });
    scan({L"C:\\"}, {kTemporary, kFirstCustom, kFirstCustom + 1});

    EXPECT_EQ(rows(), (Rows{L"C:\\b\\y.arc", L"C:\\a\\x.doc", L"C:\\c\\z.doc"}));
    EXPECT_FALSE(fakes.files.exists(L"C:\\t\\1.tmp"));
}

class StopScanTest : public ScanTest {
protected:
    void SetUp() override {
        fakes.system.addDrive(L'D');
        addFiles({L"C:\\A\\1.tmp", L"C:\\A\\2.tmp", L"C:\\B\\3.tmp", L"C:\\C\\4.tmp",
                  L"C:\\C\\Quiet\\readme.txt", L"D:\\5.tmp"});
        start();
        fakes.system.onSleep = [this](unsigned) {
            noticeShownDuringSleep = c().picMessage.visible();
        };
    }
    bool noticeShownDuringSleep = false;
};

TEST_F(StopScanTest, BetweenFoldersTheNextMatchEndsTheScan) {
    atFolder(3, [this] { c().cmdStopScan.click(); });  // C:\, A, then B

    scan({L"C:\\", L"D:\\"}, {kTemporary});

    EXPECT_EQ(rows(), (Rows{L"C:\\A\\1.tmp", L"C:\\A\\2.tmp"}));
    EXPECT_EQ(fakes.system.sleeps, std::vector<unsigned>{2000});
    EXPECT_TRUE(noticeShownDuringSleep);
    EXPECT_EQ(host.refreshes.size(), 2u);  // the notice, and the end of the search
    EXPECT_EQ(host.doEventsCount, 3);      // nothing after B, and D: is never walked
    expectStoppedState();
}

TEST_F(StopScanTest, AfterTheLastMatchTheScanEndsStoppedWithEveryRow) {
    atFolder(5, [this] { c().cmdStopScan.click(); });  // C\Quiet holds no match

    scan({L"C:\\"}, {kTemporary});

    EXPECT_EQ(rows().size(), 4u);
    expectStoppedState();
}

TEST_F(StopScanTest, BeforeAnyMatchNothingIsListed) {
    atFolder(1, [this] { c().cmdStopScan.click(); });

    scan({L"C:\\", L"D:\\"}, {kTemporary});

    EXPECT_TRUE(rows().empty());
    expectStoppedState();

    // The next scan runs in full.
    host.onDoEvents = nullptr;
    scan({}, {});
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(host.messageTexts().back(), L"5 Files Found");
}

TEST_F(StopScanTest, OutsideAScanStopScanIsOffAndANoticeLeftUpGoesAtTheNextScan) {
    EXPECT_FALSE(c().cmdStopScan.enabled());
    form.cmdStopScan_Click();  // a press that reached the handler anyway
    EXPECT_TRUE(fakes.system.sleeps.empty());
    EXPECT_FALSE(c().picMessage.visible());
    EXPECT_FALSE(context.state.scan.ScanStopped);

    c().picMessage.setVisible(true);
    bool hidden = false;
    atFolder(1, [this, &hidden] { hidden = !c().picMessage.visible(); });
    scan({L"C:\\"}, {kTemporary});
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(c().cmdStopScan.enabled());
    EXPECT_EQ(host.messageTexts().back(), L"4 Files Found");
}

TEST_F(StopScanTest, CheckAllDuringAScanTicksOnlyTheRowsFoundSoFar) {
    fakes.files.addFile(L"C:\\A\\late.dmp");
    atFolder(3, [this] { c().cmdCheck.click(); });

    scan({L"C:\\"}, {kTemporary});

    // The rows are put in pattern order afterwards; their ticks go with them.
    const auto& list = c().ListFiles;
    ASSERT_EQ(rows(), (Rows{L"C:\\A\\1.tmp", L"C:\\A\\2.tmp", L"C:\\B\\3.tmp", L"C:\\C\\4.tmp",
                            L"C:\\A\\late.dmp"}));
    EXPECT_TRUE(list.row(0).checked);
    EXPECT_TRUE(list.row(1).checked);
    EXPECT_FALSE(list.row(2).checked);
    EXPECT_FALSE(list.row(3).checked);
    EXPECT_TRUE(list.row(4).checked);
}

// Leaving the program from inside a walk must not bring the window back to finish the scan.
TEST_F(StopScanTest, ExitDuringAScanEndsItWithoutAWord) {
    atFolder(2, [this] { c().cmdExit[0]->click(); });

    scan({L"C:\\"}, {kTemporary});

    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_EQ(host.doEventsCount, 2);
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(StopScanTest, CheckClearAndHeaderClicksAlternateTheOrder) {
    scan({L"C:\\", L"D:\\"}, {kTemporary});
    auto& list = c().ListFiles;
    list.setChecked(3, true);  // C:\C\4.tmp

    list.userColumnClick(0);
    EXPECT_EQ(rows(), (Rows{L"C:\\A\\1.tmp", L"C:\\A\\2.tmp", L"C:\\B\\3.tmp", L"C:\\C\\4.tmp",
                            L"D:\\5.tmp"}));
    list.userColumnClick(0);
    EXPECT_EQ(rows(), (Rows{L"D:\\5.tmp", L"C:\\C\\4.tmp", L"C:\\B\\3.tmp", L"C:\\A\\2.tmp",
                            L"C:\\A\\1.tmp"}));
    EXPECT_TRUE(list.row(1).checked);
    EXPECT_EQ(list.checkedCount(), 1u);
    list.userColumnClick(0);
    EXPECT_EQ(rows().front(), L"C:\\A\\1.tmp");

    c().cmdCheck.click();
    EXPECT_EQ(list.checkedCount(), 5u);
    c().cmdNext1.setEnabled(true);
    c().cmdClear.click();
    EXPECT_EQ(list.checkedCount(), 0u);
    EXPECT_FALSE(c().cmdNext1.enabled());
    EXPECT_EQ(c().lstOptions.checkedCount(), 1u);
}

}  // namespace
}  // namespace dustrel::testing
