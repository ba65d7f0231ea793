#include <gtest/gtest.h>

#include "app/drive_list.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

class WizardTest : public AppTest {
protected:
    void SetUp() override {
        fakes.system.addDrive(L'E', platform::DriveKind::Fixed, {1, 2, 3});
        start();
    }
    app::FrmMainControls& c() { return form.ui(); }
};

TEST_F(WizardTest, DrivePageNextWantsATickedDriveAndThenRecommendsClosingPrograms) {
    c().cmdNext.setEnabled(true);
    c().cmdNext.click();
    EXPECT_EQ(host.messageTexts(),
              std::vector<std::wstring>{L"Please Select At Least One Disk Drive"});
    EXPECT_EQ(host.messageBoxes[0].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop}));
    EXPECT_EQ(form.frontPage(), &c().Frame2);

    // Ticking enables Next; unticking the last tick leaves it enabled.
    c().ListDrive.userToggle(1);
    EXPECT_TRUE(c().cmdNext.enabled());
    c().ListDrive.userToggle(1);
    EXPECT_TRUE(c().cmdNext.enabled());
    c().cmdNext.click();
    EXPECT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(form.frontPage(), &c().Frame2);

    c().ListDrive.userToggle(0);
    c().cmdNext.click();
    ASSERT_EQ(host.messageBoxes.size(), 3u);
    EXPECT_EQ(host.messageBoxes[2].text,
              L"We recommend that you save and shut down all other programs while Dustrel is "
              L"running.");
    EXPECT_EQ(host.messageBoxes[2].style,
              (ui::MessageBoxStyle{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information}));
    EXPECT_EQ(host.messageBoxes[2].caption, L"Dustrel");
    EXPECT_EQ(form.frontPage(), &c().Frame4);
}

TEST_F(WizardTest, CategoryButtonsFollowTheTicks) {
    c().cmdNext.setEnabled(true);
    c().cmdCheckAll.click();
    EXPECT_EQ(c().lstOptions.checkedCount(), 6u);
    EXPECT_TRUE(c().cmdNext1.enabled());

    c().cmdClearAll.click();
    EXPECT_EQ(c().lstOptions.checkedCount(), 0u);
    EXPECT_FALSE(c().cmdNext1.enabled());
    EXPECT_FALSE(c().cmdNext.enabled());  // the drive page's Next goes too

    c().lstOptions.userToggle(3);
    EXPECT_TRUE(c().cmdNext1.enabled());
    c().lstOptions.userToggle(3);
    EXPECT_TRUE(c().cmdNext1.enabled());
}

TEST_F(WizardTest, BackFromTheCategoryPageUnticksEverything) {
    c().ListDrive.userToggle(0);
    form.showPage(c().Frame4);
    c().lstOptions.userToggle(0);
    c().cmdBack1.click();
    EXPECT_EQ(form.frontPage(), &c().Frame2);
    EXPECT_EQ(c().ListDrive.checkedCount() + c().lstOptions.checkedCount(), 0u);
    EXPECT_FALSE(c().cmdNext.enabled());
    EXPECT_FALSE(c().cmdNext1.enabled());
}

TEST_F(WizardTest, BackFromTheResultsPageKeepsTheCategoriesAndResetsTheScan) {
    c().lstOptions.userToggle(2);
    form.showPage(c().Frame3);
    c().ListFiles.addRow(L"C:\\a.tmp");
    c().PBar.setMax(5000);
    c().PBar.setMin(3000);
    c().PBar.setVisible(true);
    c().lblExt.setCaption(L"*.tmp");
    c().lblPath.setCaption(L"C:\\");
    c().cmdNext.setEnabled(true);
    c().cmdDelete.setEnabled(true);
    context.state.scan.ScanStopped = true;

    c().cmdBack.click();
    EXPECT_EQ(form.frontPage(), &c().Frame4);
    EXPECT_EQ(c().PBar.min(), 1);
    EXPECT_EQ(c().PBar.max(), 100);
    EXPECT_FALSE(c().PBar.enabled());
    EXPECT_FALSE(c().PBar.visible());
    EXPECT_FALSE(context.state.scan.ScanStopped);
    EXPECT_EQ(c().ListFiles.rowCount(), 0u);
    EXPECT_TRUE(c().lstOptions.row(2).checked);
    EXPECT_FALSE(c().cmdNext.enabled());
    EXPECT_FALSE(c().cmdDelete.enabled());
    EXPECT_FALSE(c().cmdRecycle.enabled());
    EXPECT_EQ(c().lblExt.caption(), L"");
    EXPECT_EQ(c().lblPath.caption(), L"");
}

TEST_F(WizardTest, BackFromTheDeletedFilesPageStartsOver) {
    c().ListDrive.userToggle(0);
    c().lstOptions.userToggle(0);
    c().ListFiles.addRow(L"C:\\kept.tmp");
    c().lstFilesDelete.addRow(L"C:\\gone.tmp");
    c().cmdDelete.setEnabled(true);
    context.state.scan.ScanStopped = true;
    form.showPage(c().Frame1);

    c().cmdBack2.click();
    EXPECT_EQ(form.frontPage(), &c().Frame2);
    EXPECT_EQ(c().ListDrive.checkedCount() + c().lstOptions.checkedCount(), 0u);
    EXPECT_EQ(c().lstFilesDelete.rowCount(), 0u);
    for (const ui::Button* button :
         {&c().cmdNext, &c().cmdNext1, &c().cmdDelete, &c().cmdRecycle}) {
        EXPECT_FALSE(button->enabled()) << button->name();
    }
    EXPECT_EQ(c().ListFiles.rowCount(), 1u);
    EXPECT_TRUE(context.state.scan.ScanStopped);
}

TEST_F(WizardTest, AboutReturnsToThePageItCoveredWithTheDrivesUnticked) {
    c().ListDrive.userToggle(0);
    form.showPage(c().Frame3);
    c().mnuAbout.click();
    EXPECT_EQ(form.frontPage(), &c().fraAbout);
    c().cmdOK.click();
    EXPECT_EQ(form.frontPage(), &c().Frame3);
    EXPECT_EQ(c().ListDrive.checkedCount(), 0u);
    EXPECT_TRUE(c().cmdNext.enabled());
}

TEST(DriveListTest, ListsOnlyFixedDisksInLetterOrderWithTheirSizes) {
    FakeSystem system;
    system.removeDrive(L'C');
    system.addDrive(L'A', platform::DriveKind::Removable);
    system.addDrive(L'F', platform::DriveKind::CdRom);
    system.addDrive(L'E', platform::DriveKind::Fixed, {5, 7, 6});
    system.addDrive(L'D', platform::DriveKind::Removable);  // a USB stick
    system.addDrive(L'C', platform::DriveKind::Fixed, {1, 40007729152ULL, 12345678901ULL});
    system.addDrive(L'Z', platform::DriveKind::Remote);
    system.addDrive(L'G', platform::DriveKind::Fixed, {});
    system.failSizes(L'G');

    const auto letters = app::GetDriveLetters(system);
    EXPECT_EQ(letters, (std::vector<std::wstring>{L"A", L"C", L"D", L"E", L"F", L"G", L"Z"}));

    TestHost host;
    FakePlatform fakes;
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain form{host, context};
    auto& list = form.ui().ListDrive;
    list.clear();
    app::listFixedDisks(system, letters, list);
    ASSERT_EQ(list.rowCount(), 3u);
    EXPECT_EQ(list.row(0).text, L"C:\\");
    EXPECT_EQ(list.row(0).subItems,
              (std::vector<std::wstring>{L"Disk Drive", L"40007729152", L"12345678901"}));
    EXPECT_EQ(list.row(1).text, L"E:\\");
    EXPECT_EQ(list.row(1).subItems, (std::vector<std::wstring>{L"Disk Drive", L"7", L"6"}));
    // A disk whose sizes cannot be read is still listed, its sizes left blank.
    EXPECT_EQ(list.row(2).subItems, (std::vector<std::wstring>{L"Disk Drive", L"", L""}));
    EXPECT_EQ(list.checkedCount(), 0u);
}

TEST_F(AppTest, WithoutFixedDisksTheDriveListStaysEmpty) {
    fakes.system.removeDrive(L'C');
    fakes.system.addDrive(L'A', platform::DriveKind::Removable);
    auto& c = start();
    EXPECT_EQ(c.ListDrive.rowCount(), 0u);
    EXPECT_FALSE(c.cmdNext.enabled());
}

}  // namespace
}  // namespace dustrel::testing
