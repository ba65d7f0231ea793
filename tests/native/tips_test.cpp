// The tips that tell what files weigh: their texts, and the Delete button's kept current as ticks
// change, whatever moves the rows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file_tips.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

// The fake locale writes sizes as their count and times an hour east of UTC.
TEST(TipTextTest, SizesDatesAndDrivesInTheLocalesForms) {
    FakeLocale locale;
    constexpr std::uint64_t kDay = 864'000'000'000;  // in 100-nanosecond intervals
    EXPECT_EQ(app::fileTip(locale, 1340, 0), L"Size: 1340 B");
    EXPECT_EQ(app::fileTip(locale, 0, kDay + 1),
              L"Size: 0 B\r\nDate modified: 02/01/1601 01:00:00");
    EXPECT_EQ(app::fileTip(locale, 7, ~std::uint64_t{0}), L"Size: 7 B");

    EXPECT_EQ(app::tickedTip(locale, 0, 0), L"No files ticked");
    EXPECT_EQ(app::tickedTip(locale, 1, 12), L"1 file ticked, 12 B");
    EXPECT_EQ(app::tickedTip(locale, 3, 4'000'000'000), L"3 files ticked, 4000000000 B");

    struct Case {
        std::vector<std::wstring> cells;
        std::wstring tip;
    };
    for (const Case& c : std::vector<Case>{
             {{L"Disk Drive", L"40007729152", L"18446744073709551615"},
              L"Total size: 40007729152 B\r\nFree space: 18446744073709551615 B"},
             {{L"Disk Drive", L"", L""}, L""},
             {{L"Disk Drive", L"12x", L"1"}, L""},
             {{L"Disk Drive", L"1", L"18446744073709551616"}, L""},
             {{L"Disk Drive", L"1"}, L""},
         }) {
        EXPECT_EQ(app::driveTip(locale, ui::ListRow{L"C:\\", c.cells}), c.tip) << c.tip;
    }
}

// The results rows tip their files' sizes and times from the listing; Delete's tip counts the
// ticked rows and their bytes through the user's ticks, a sort, Check All and Clear All, and a
// Delete that leaves one file; the deleted file's row on the final page keeps its tip.
TEST_F(AppTest, TipsTellWhatEachFileAndTheTickedFilesWeigh) {
    fakes.system.addDrive(L'E', platform::DriveKind::Fixed, {1, 2048, 1024});
    fakes.files.addFile(L"C:\\a.tmp", "aaa");
    fakes.files.addFile(L"C:\\" + std::wstring(600, L'd') + L"\\b.tmp", "bbbbb");
    fakes.files.addFile(L"C:\\c.log", "ccccccc");
    auto& c = start();
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"No files ticked");
    EXPECT_EQ(c.ListDrive.rowTip(c.ListDrive.row(1)), L"Total size: 2048 B\r\nFree space: 1024 B");
    c.ListDrive.setChecked(0, true);
    c.lstOptions.setChecked(0, true);
    c.lstOptions.setChecked(3, true);
    act([this] { form.cmdNext1_Click(); });
    ASSERT_EQ(c.ListFiles.rowCount(), 3u);
    const auto tipOf = [&](std::size_t row) { return c.ListFiles.rowTip(c.ListFiles.row(row)); };
    // Listed within the first second of 1601, UTC.
    EXPECT_EQ(tipOf(0), L"Size: 3 B\r\nDate modified: 01/01/1601 01:00:00");
    EXPECT_EQ(tipOf(1).substr(0, 11), L"Size: 5 B\r\n");

    c.ListFiles.userToggle(0);
    c.ListFiles.userToggle(2);
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"2 files ticked, 10 B");
    c.ListFiles.userColumnClick(0);  // a.tmp, c.log, C:\ddd...\b.tmp
    ASSERT_EQ(c.ListFiles.row(1).text, L"C:\\c.log");
    c.ListFiles.userToggle(2);
    c.ListFiles.userToggle(0);
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"2 files ticked, 12 B");
    c.cmdCheck.click();
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"3 files ticked, 15 B");
    c.cmdClear.click();
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"No files ticked");

    c.ListFiles.userToggle(0);
    c.ListFiles.userToggle(1);
    fakes.files.lock(L"C:\\c.log");
    c.cmdDelete.click();
    EXPECT_EQ(rowTexts(c.lstFilesDelete), std::vector<std::wstring>{L"C:\\a.tmp"});
    EXPECT_EQ(c.lstFilesDelete.rowTip(c.lstFilesDelete.row(0)),
              L"Size: 3 B\r\nDate modified: 01/01/1601 01:00:00");
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"1 file ticked, 7 B");
}

}  // namespace
}  // namespace dustrel::testing
