// The scan on a real drive (S:, which scripts/test.sh maps), through the real window.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "scan/listing_ahead.h"
#include "scan/search_folder.h"
#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

// The real clock, which at a given look posts a click on a window. The scan looks at it once a
// folder, so the click arrives in the middle of a walk, as a user's would.
class ClickingClock final : public platform::Clock {
public:
    platform::DateTime now() override { return real_.now(); }
    std::uint32_t milliseconds() override {
        if (button != nullptr && --looksLeft == 0) {
            PostMessageW(button, BM_CLICK, 0, 0);
            skipped_ += 1000;  // the next folder looks at the queue however fast the walk goes
        }
        return real_.milliseconds() + skipped_;
    }

    int looksLeft = 0;
    HWND button = nullptr;

private:
    platform::win32::Win32Clock real_;
    std::uint32_t skipped_ = 0;
};

// Through the real window, whose repaints and looks at the queue are spaced out in time: the
// list view shows the model's rows once a scan is over, and a click on Stop Scan that arrives
// in the middle of a walk stops it. The drive's link (to a folder outside that holds
// beyond.tmp) is not followed, nor are the Recycle Bins at its root; folders of their names
// deeper down are.
TEST(ScanDriveTest, RealWindowShowsTheModelsRowsAndAnswersStopScanMidWalk) {
    ASSERT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    ASSERT_TRUE(runUnix("cd '" + unixPath(L"S:\\") +
                        "' && find . -mindepth 1 -maxdepth 1 ! -name Link -exec rm -rf {} +\n"
                        "for i in $(seq 0 149); do\n  mkdir Gen$i && cd Gen$i && touch a.tmp "
                        "b.log c.txt && cd ..\ndone\n"
                        "for bin in '$Recycle.Bin' RECYCLER; do\n"
                        "  mkdir -p \"$bin/S-1-5-21-1\" \"Gen7/$bin\"\n"
                        "  touch \"$bin/S-1-5-21-1/\"'$RAB12CD.tmp' \"$bin/INFO2.log\" "
                        "\"Gen7/$bin/kept.tmp\"\ndone"));
    ClickingClock clock;
    RealMainWindow window(&clock);
    auto& host = window.host;
    auto& c = window.ui();
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == L"S:\\");
    }
    c.cmdCheckAll.click();
    // The owner-data list reads its rows from the model once it knows how many there are.
    const auto rowsShown = [&] { return ListView_GetItemCount(host.windowOf(c.ListFiles)); };

    c.cmdNext1.click();
    // 150 folders of a.tmp and b.log, and the two files in the bins' namesakes below Gen7.
    EXPECT_EQ(window.boxes.texts, std::vector<std::wstring>{L"302 Files Found"});
    EXPECT_EQ(rowsShown(), static_cast<int>(c.ListFiles.rowCount()));

    clock.looksLeft = 60;
    clock.button = host.windowOf(c.cmdStopScan);
    c.cmdNext1.click();
    EXPECT_EQ(window.boxes.texts.size(), 1u) << "a stopped scan says nothing";
    EXPECT_TRUE(c.ListFiles.rowCount() > 0 && c.ListFiles.rowCount() < 302)
        << c.ListFiles.rowCount();
    EXPECT_EQ((std::vector<BOOL>{IsWindowVisible(host.windowOf(c.PBar)),
                                 IsWindowVisible(host.windowOf(c.picMessage)),
                                 IsWindowEnabled(host.windowOf(c.cmdDelete)),
                                 IsWindowEnabled(host.windowOf(c.cmdBack))}),
              (std::vector<BOOL>{FALSE, FALSE, TRUE, TRUE}));
    EXPECT_EQ(rowsShown(), static_cast<int>(c.ListFiles.rowCount()));

    // On the real file system, the walk with threads listing ahead reports what the walk
    // alone does, in the same order.
    struct Sink final : scan::WalkSink {
        std::vector<std::wstring> events;
        void folderListed(const std::wstring& folder) override { events.push_back(folder); }
        bool match(const std::wstring& folder, const platform::FolderEntry& file,
                   std::size_t pattern) override {
            events.push_back(folder + file.name + L" #" + std::to_wstring(pattern));
            return true;
        }
    } alone, ahead;
    const std::vector<scan::NamePattern> patterns{scan::NamePattern(L"*.tmp"),
                                                  scan::NamePattern(L"*.LOG")};
    platform::win32::Win32FileSystem files;
    (void)scan::Search_Folder(files, L"S:\\", patterns, alone);
    scan::ListingAhead listings(files, 4);
    (void)scan::Search_Folder(listings, L"S:\\", patterns, ahead);
    EXPECT_EQ(ahead.events, alone.events);
    EXPECT_GT(alone.events.size(), 450u);
}

}  // namespace
}  // namespace dustrel::testing
