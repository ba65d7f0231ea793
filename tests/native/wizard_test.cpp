#include <gtest/gtest.h>

#include "app/drive_list.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Texts = std::vector<std::wstring>;

class WizardTest : public AppTest {
protected:
    void SetUp() override {
        fakes.system.addDrive(L'E', platform::DriveKind::Fixed, {1, 2, 3});
        start();
    }
    app::FrmMainControls& c() { return form.ui(); }
};

TEST_F(WizardTest, DrivePageNextWantsATickedDriveAndThenRecommendsClosingPrograms) {
    const std::wstring select = L"Please Select At Least One Disk Drive";
    c().cmdNext.setEnabled(true);
    c().cmdNext.click();
    // Ticking enables Next; unticking the last tick leaves it enabled.
    c().ListDrive.userToggle(1);
    c().ListDrive.userToggle(1);
    EXPECT_TRUE(c().cmdNext.enabled());
    c().cmdNext.click();
    EXPECT_EQ(form.frontPage(), &c().Frame2);

    c().ListDrive.userToggle(0);
    c().cmdNext.click();
    EXPECT_EQ(host.messageTexts(),
              (Texts{select, select,
                     L"We recommend that you save and shut down all other programs while Dustrel "
                     L"is running."}));
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
    c().lstOptions.userToggle(3);
    EXPECT_TRUE(c().cmdNext1.enabled());
}

// What the user sees of the wizard after each Back, from pages left in the same busy state.
struct Seen {
    const ui::Frame* page;
    std::size_t tickedDrives, tickedCategories, results, deleted;
    bool barShown, next, next1, deleteOn, recycleOn;
    std::wstring labels;
    bool operator==(const Seen&) const = default;
};

TEST_F(WizardTest, EachBackShowsItsPageWithWhatItKeeps) {
    struct Case {
        ui::Frame& from;
        ui::Button& back;
        Seen expected;
    };
    auto& k = c();
    const Case cases[] = {
        {k.Frame4, k.cmdBack1, {&k.Frame2, 0, 0, 1, 1, true, false, false, true, true, L"*.tmpC:"}},
        {k.Frame3, k.cmdBack, {&k.Frame4, 1, 1, 0, 1, false, false, true, false, false, L""}},
        {k.Frame1, k.cmdBack2, {&k.Frame2, 0, 0, 1, 0, false, false, false, false, false, L""}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.back.name());
        k.ListDrive.setAllChecked(false);
        k.ListDrive.setChecked(0, true);
        k.lstOptions.setAllChecked(false);
        k.lstOptions.setChecked(2, true);
        k.ListFiles.clear();
        k.ListFiles.addRow(L"C:\\a.tmp");
        k.lstFilesDelete.clear();
        k.lstFilesDelete.addRow(L"C:\\gone.tmp");
        k.PBar.setMax(5000);
        k.PBar.setMin(3000);
        k.PBar.setEnabled(true);
        k.PBar.setVisible(true);
        k.lblExt.setCaption(L"*.tmp");
        k.lblPath.setCaption(L"C:");
        for (ui::Button* button : {&k.cmdNext, &k.cmdNext1, &k.cmdDelete, &k.cmdRecycle}) {
            button->setEnabled(true);
        }
        form.showPage(test.from);
        test.back.click();
        EXPECT_EQ((Seen{form.frontPage(), k.ListDrive.checkedCount(), k.lstOptions.checkedCount(),
                        k.ListFiles.rowCount(), k.lstFilesDelete.rowCount(),
                        k.PBar.visible() || k.PBar.enabled(), k.cmdNext.enabled(),
                        k.cmdNext1.enabled(), k.cmdDelete.enabled(), k.cmdRecycle.enabled(),
                        k.lblExt.caption() + k.lblPath.caption()}),
                  test.expected);
        if (!test.expected.barShown) {
            EXPECT_EQ(k.PBar.min(), 1);  // ready for the next scan's range
            EXPECT_EQ(k.PBar.max(), 100);
        }
    }
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

TEST_F(AppTest, DriveListListsOnlyFixedDisksInLetterOrderWithTheirSizes) {
    FakeSystem& system = fakes.system;
    system.removeDrive(L'C');
    system.addDrive(L'A', platform::DriveKind::Removable);
    system.addDrive(L'F', platform::DriveKind::CdRom);
    system.addDrive(L'E', platform::DriveKind::Fixed, {5, 7, 6});
    system.addDrive(L'D', platform::DriveKind::Removable);  // a USB stick
    system.addDrive(L'C', platform::DriveKind::Fixed, {1, 40007729152ULL, 12345678901ULL});
    system.addDrive(L'Z', platform::DriveKind::Remote);
    system.addDrive(L'G', platform::DriveKind::Fixed, {});
    system.failSizes(L'G');
    EXPECT_EQ(app::GetDriveLetters(system), (Texts{L"A", L"C", L"D", L"E", L"F", L"G", L"Z"}));
    const ui::ListView& list = start().ListDrive;
    EXPECT_EQ(rowTexts(list), (Texts{L"C:\\", L"E:\\", L"G:\\"}));
    EXPECT_EQ(list.row(0).subItems, (Texts{L"Disk Drive", L"40007729152", L"12345678901"}));
    // A disk whose sizes cannot be read is still listed, its sizes left blank.
    EXPECT_EQ(list.row(2).subItems, (Texts{L"Disk Drive", L"", L""}));
    EXPECT_EQ(list.checkedCount(), 0u);
}

}  // namespace
}  // namespace dustrel::testing
