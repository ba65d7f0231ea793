// The tips that tell what files weigh, in the fake locale: sizes as their count of bytes, times an
// hour east of UTC.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file_tips.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

// The rows tip their files' sizes and times as listed, and the drives their sizes where the row
// holds them. Delete's tip counts the ticked rows and their bytes through the user's ticks, a
// sort, Check All, Clear All and a Delete that leaves one file; a deleted row keeps its tip.
TEST_F(AppTest, TipsTellWhatEachFileAndTheTickedFilesWeigh) {
    fakes.files.addFile(L"C:\\a.tmp", "aaa");
    fakes.files.addFile(L"C:\\" + std::wstring(600, L'd') + L"\\b.tmp", "bbbbb");
    fakes.files.addFile(L"C:\\c.log", "ccccccc");
    auto& c = start();
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"No files ticked");
    EXPECT_EQ(c.ListDrive.rowTip(c.ListDrive.row(0)),
              L"Total size: 107374182400 B\r\nFree space: 42949672960 B");
    for (const std::wstring free : {L"", L"12x", L"18446744073709551616"}) {
        EXPECT_EQ(app::driveTip(fakes.locale, {L"C:\\", {L"", L"1", free}}), L"") << free;
    }
    EXPECT_EQ(app::driveTip(fakes.locale, {L"C:\\", {L"", L"0", L"18446744073709551615"}}),
              L"Total size: 0 B\r\nFree space: 18446744073709551615 B");
    EXPECT_EQ(app::driveTip(fakes.locale, {L"C:\\", {L"", L"0"}}), L"");
    EXPECT_EQ(app::fileTip(fakes.locale, 7, 0), L"Size: 7 B");  // a listing without times

    c.ListDrive.setChecked(0, true);
    c.lstOptions.setChecked(0, true);
    c.lstOptions.setChecked(3, true);
    act([this] { form.cmdNext1_Click(); });
    ASSERT_EQ(c.ListFiles.rowCount(), 3u);
    // The fake lists a.tmp within the first second of 1601, UTC.
    const std::wstring aTip = L"Size: 3 B\r\nDate modified: 01/01/1601 01:00:00";
    EXPECT_EQ(c.ListFiles.rowTip(c.ListFiles.row(0)), aTip);
    c.ListFiles.userToggle(0);
    c.ListFiles.userToggle(2);
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"2 files ticked, 10 B");
    c.ListFiles.userColumnClick(0);  // a.tmp, c.log, C:\ddd...\b.tmp
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
    EXPECT_EQ(c.lstFilesDelete.rowTip(c.lstFilesDelete.row(0)), aTip);
    EXPECT_EQ(c.cmdDelete.toolTipText(), L"1 file ticked, 7 B");
}

}  // namespace
}  // namespace dustrel::testing
